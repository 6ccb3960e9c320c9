#pragma once

// Resource numbers of Vellum.dll (shared by the resource script and the code).
#define kCorvidIcon 1
#define kSkinBitmap 101
#define kCloseInitial 102
#define kCloseBright 103
#define kCloseDark 104
#define kCloseCursor 101
#define kToolboxCorvidForm 30000

#define kAboutDialog 200
#define kAboutImg 1001
#define kAboutLbName 1002
#define kAboutLblVersion 1003
#define kAboutLabel3 1004
#define kAboutLabel4 1005
#define kAboutLbLine 1006
