// Sine and cosine of the scene, computed in plain double arithmetic so that
// every target gets the same bits (the C runtimes' functions differ in the
// last bit, which moves a truncated walker position by a pixel).
#pragma once

double SceneSine(double angle);
double SceneCosine(double angle);
// Both at once, with one reduction; the same bits as the two above.
void SceneSineCosine(double angle, double* sine, double* cosine);
