#pragma once

// Resource numbers of Lamina.dll (shared by the resource script and the code).
#define kHandCursor 101
#define kMoveBarIcon 102
#define kToolboxButton 30000
#define kToolboxProgress 30001
#define kToolboxVscroll 30002
#define kToolboxHscroll 30003
#define kToolboxComBox 30004
#define kToolboxMoveBar 30005
