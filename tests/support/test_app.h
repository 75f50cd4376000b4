#pragma once
// Runs the program's real windows and surfaces inside a test process, and reads back what they show.
#include <cstdint>
#include <vector>

#include "app/app_state.h"

// Once per process: GDI+, both window classes and windows, surfaces, toolbar. The canvas is smaller
// than the screen so that whole-canvas presents stay quick.
void StartTestApp(int canvasWidth = 640, int canvasHeight = 480);
// Puts the canvas the test program started with back, with fresh surfaces, after a test that
// changed its size.
struct TestCanvasRestorer {
    ~TestCanvasRestorer();
};
// Back to the state of a fresh start: selections, modes, empty lists, no timer, clean ink and frame,
// nothing captured, no pushes recorded.
void ResetAppForTest();
// Dispatches every queued message of this thread the way the program's loop does, with its frame
// steps, and pushes what is pending.
void PumpMessages();

uint32_t FramePixel(int x, int y);
void FillFrame(uint32_t value);
// Number of frame pixels that differ from `value` (after FillFrame(value)).
int CountFramePixelsNot(uint32_t value);
// The ink layer's premultiplied pixels, row after row.
std::vector<uint32_t> InkPixels();
uint32_t InkPixel(int x, int y);
// Pixels of the ink layer that differ from a replay of the dropped ink and the history; the replay
// then stays.
int DifferenceFromReplay();

inline uint8_t AlphaOf(uint32_t argb) { return uint8_t(argb >> 24); }
inline uint32_t RgbOf(uint32_t argb) { return argb & 0x00FFFFFFu; }

// What reached the screen through the two push seams since the last reset.
struct PushLog {
    int overlayPushes = 0;
    RECT lastOverlayDirty = {};
    int toolbarPushes = 0;
    POINT toolbarPosition = {};
    SIZE toolbarSize = {};
    std::vector<uint32_t> toolbarImage;  // premultiplied BGRA of the last toolbar push
};
extern PushLog pushes;
// The log after pushing what is pending, as the message loop would before the screen shows it.
const PushLog& Pushed();
// Pushes what is pending, then forgets every push so far.
void ForgetPushes();

// Pixel (x, y) of the last toolbar picture pushed.
uint32_t ToolbarPixel(int x, int y);
