// Device set-up of a saver run: the graphics layer and the Direct3D state
// that every frame relies on.
#pragma once

bool initStates(int width, int height);
bool initD3D(int width, int height);
// Destroys the graphics layer made by initStates, if any.
void DestroyDevice();
