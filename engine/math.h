// Math helpers used across the program.
#pragma once

// The distance between (x1, y1) and (x2, y2); each difference is rounded to f32 before squaring.
float distance2d(float x1, float y1, float x2, float y2);
