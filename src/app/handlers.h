// Every event handler and shared procedure of the program, each a free
// function over the application context. Mouse handlers take the button
// state (0 none, 1 left, 2 right) and the position in the receiving
// window's client pixels.
#pragma once

#include <cstdint>
#include <string>

#include "app/context.h"

namespace pelisto {

// Application shell (app/).
void MAINFORM_START(AppContext& ctx);
// Returns true when the window may close (false: the user kept it open).
bool MAINFORM_QUERYCLOSE(AppContext& ctx);
void COPYRIGHT_ON(AppContext& ctx);
void FORM3_START(AppContext& ctx, Canvas& form3);
void BUTTON13_ON(AppContext& ctx);

// Wave files (wave/).
void OPENWAVEFILE_ON(AppContext& ctx);
int16_t GETWAVEDATA(AppContext& ctx, int32_t position);
void BUTTON6_ON(AppContext& ctx);
void BUTTON14_ON(AppContext& ctx);

// Waveform view (view/).
int16_t SHOWWAVEDATA(AppContext& ctx, int32_t second);
void HSCROLL1_CHANGE(AppContext& ctx);
void LOADGRAPHDATA(AppContext& ctx, const std::string& name, int32_t& seconds);
void GRAPGFAST_ON(AppContext& ctx);
void PICTURE1_MOUSEMOVE(AppContext& ctx, int button, double x, double y);
void PICTURE1_MOUSEDOWN(AppContext& ctx, int button, double x, double y);
void MAINFORM_MOUSEMOVE(AppContext& ctx, int button, double x, double y);
void MAINFORM_MOUSEUP(AppContext& ctx, int button, double x, double y);

// Playback (playback/).
void BUTTON1_ON(AppContext& ctx);
void BUTTON2_ON(AppContext& ctx);
void BUTTON5_ON(AppContext& ctx);
void MCI1_DONE(AppContext& ctx);
void TRACETIMESCROLL(AppContext& ctx);
// Sends one command string through MCI1 and keeps its result in ctx.lastMci.
MciResult sendMci(AppContext& ctx, const std::string& command);

// Edit list (editlist/).
void BUTTON3_ON(AppContext& ctx);
void BUTTON4_ON(AppContext& ctx);
void LIST1_CLICK(AppContext& ctx);
void BUTTON7_ON(AppContext& ctx);
void BUTTON8_ON(AppContext& ctx);
void BUTTON9_ON(AppContext& ctx);
void BUTTON10_ON(AppContext& ctx);
void BUTTON11_ON(AppContext& ctx);
void BUTTON12_ON(AppContext& ctx);

// Project files (project/).
void OPENPROJECT_ON(AppContext& ctx);
void SAVEPROJECT_ON(AppContext& ctx);

}  // namespace pelisto
