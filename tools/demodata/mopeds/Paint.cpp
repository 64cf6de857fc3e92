#include "tools/demodata/mopeds/Paint.h"

#include "tools/demodata/mopeds/Vec3.h"

Lwo2Surface Paint::surface(const std::string& name) const {
    Lwo2Surface s;
    s.name = name;
    s.color = Lwo2ColorValue{rgb, 0};
    s.values = {{"DIFF", {diffuse, 0}}, {"SPEC", {specular, 0}}, {"GLOS", {gloss, 0}}};
    if (luminosity > 0.0f) s.values.push_back({"LUMI", {luminosity, 0}});
    if (transparency > 0.0f) s.values.push_back({"TRAN", {transparency, 0}});
    if (colourHighlights > 0.0f) s.values.push_back({"CLRH", {colourHighlights, 0}});
    s.smoothingAngle = smoothingDegrees * PI / 180.0f;
    if (doubleSided) s.sidedness = 3;
    return s;
}
