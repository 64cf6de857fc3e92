#pragma once
#include <string>

// The look file of the "Quillfen" scheme: flat panels and frames drawn with
// the imageset's white brush, one look per type of quillfenWidgetTypes().
std::string quillfenLookNFeelXml();
