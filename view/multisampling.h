// SPDX-License-Identifier: MIT
#pragma once

// Whether multisample buffers give antialiased pixels on this display. Some renderers keep one
// sample of each pixel when they show a multisampled frame (Mesa's software rasteriser under a
// virtual X server does), so such a buffer costs several times the drawing and smooths nothing.
// Probed once per process, by drawing an edge across one pixel in a small context of its own;
// true when that cannot be done, so the view keeps asking for sample buffers.
bool multisamplingAntialiases();
