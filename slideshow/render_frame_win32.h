// One frame of the saver's main loop.
#pragma once

void StartFrameTimer();
// May throw cGameError from the graphics layer; the main loop catches it.
void RenderFrame();
// The longest frame since photographs began to show, in ms.
float LongestShowingFrameMs();
