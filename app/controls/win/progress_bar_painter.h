#pragma once

#include <windows.h>

#include "controls/progress_bar.h"

namespace svctune::win {

// Draws what the model says a refresh draws into a DC whose (0, 0, W, H) is the bar: the back
// colour, the gradient lines under the anisotropic mapping, the border. The DC's mapping and
// selected objects are as before afterwards. False when the system refused a step.
bool PaintProgressBar(HDC dc, const ProgressBarDrawing& drawing);

// The platform's colour translation (OleTranslateColor).
ColourTranslator OleColourTranslator();

}  // namespace svctune::win
