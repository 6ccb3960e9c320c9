#include "own_controls_page.h"

#include <array>
#include <memory>
#include <string>

#include "controls/win/progress_bar_view.h"
#include "controls/win/xp_option_view.h"

namespace svctune::gallery {

namespace {

using win::ProgressBarView;
using win::XPOptionView;

class OwnControlsPage final : public PageContents {
 public:
  // The bars are panels of options, so the options go first.
  std::array<std::unique_ptr<ProgressBarView>, 2> bars;
  std::array<std::unique_ptr<XPOptionView>, 2> options;
};

}  // namespace

HWND CreateOwnControlsPage(HINSTANCE instance, HWND parent, const RECT& area, EventLogger log) {
  HWND page = CreatePageWindow(instance, parent, area);
  if (page == nullptr || !XPOptionView::RegisterWindowClass(instance) ||
      !ProgressBarView::RegisterWindowClass(instance)) {
    return page;
  }
  auto contents = std::make_unique<OwnControlsPage>();

  PropertyBag across;
  across.Put(L"FromColor", std::int32_t{0xFFFFFF});
  across.Put(L"ToColor", std::int32_t{0xF7D6C6});
  across.Put(L"Value", std::int32_t{100});
  across.Put(L"BorderStyle", std::int32_t{4});
  across.Put(L"BorderColor", std::int32_t{0xE7A27B});
  contents->bars[0] = ProgressBarView::Create(instance, page, 1, RECT{20, 20, 420, 120}, &across);
  PropertyBag half;
  half.Put(L"FromColor", std::int32_t{0x80FF80});
  half.Put(L"ToColor", std::int32_t{0x008000});
  half.Put(L"Value", std::int32_t{45});
  contents->bars[1] = ProgressBarView::Create(instance, page, 2, RECT{20, 150, 420, 180}, &half);

  // The first option stands on the first bar, which doubles as its panel.
  const HWND panel = contents->bars[0] ? contents->bars[0]->hwnd() : page;
  const struct {
    const wchar_t* name;
    HWND parent;
    RECT rect;
    XPOptionVariant variant;
    const wchar_t* caption;
  } options[] = {
      {L"XPOption1", panel, RECT{20, 30, 200, 48}, XPOptionVariant::kXPOption, L"XPOption 选项"},
      {L"XPOption2", page, RECT{20, 210, 200, 228}, XPOptionVariant::kMyOpt, L"MyOpt 选项"},
  };
  for (std::size_t i = 0; i < std::size(options); ++i) {
    contents->options[i] =
        XPOptionView::Create(instance, options[i].parent, static_cast<int>(10 + i), options[i].rect,
                             options[i].variant, options[i].caption, FontSpec{});
    if (contents->options[i]) {
      const std::wstring name = options[i].name;
      contents->options[i]->OnValueChanged([log, name](bool& value) {
        log(name + L".ValueChanged(Value=" + (value ? L"True" : L"False") + L")");
      });
    }
  }
  AttachPageContents(page, std::move(contents));
  return page;
}

}  // namespace svctune::gallery
