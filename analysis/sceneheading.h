// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// A scene heading taken apart into the fields of a scene breakdown.
class SceneHeading {
public:
    // Takes apart a heading that starts with its INT./EXT. prefix, if it has one: "INT. GRAND
    // HALL - NIGHT (JEFF)" gives INT, GRAND HALL (JEFF) and NIGHT. The time of day is the part
    // after the first run of dashes (hyphen, en or em dash, with or without blanks) whose rest
    // names a time, such as DAY, EARLY EVENING or PRE-DAWN, or else a time in the first
    // parenthesis of the end (INT. HALL (NIGHT)); any other last part (" - HELM", " - BRIANNA'S
    // POV") stays in the location. A dash right after the prefix parts it from the place.
    static SceneHeading parse(const QString &heading);

    // "INT", "EXT", "INT/EXT", or empty when the heading has no such prefix.
    QString setting;
    QString location;
    QString timeOfDay;
};
