#include "engine/math.h"

#include <cmath>

float distance2d(float x1, float y1, float x2, float y2)
{
    float dx = x2 - x1;
    float dy = y2 - y1;
    return float(std::sqrt(double(dx * dx + dy * dy)));
}
