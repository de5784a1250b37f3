// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// A scene heading taken apart into the fields of a scene breakdown.
class SceneHeading {
public:
    // Takes apart a heading that starts with its INT./EXT. prefix, if it has one: "INT. GRAND
    // HALL - NIGHT (JEFF)" gives INT, GRAND HALL (JEFF) and NIGHT. The time of day is the part
    // after the last " - " (or "--") when it names a time, such as DAY, EARLY EVENING or MOMENTS
    // LATER; any other last part (" - HELM", " - BRIANNA'S POV") stays in the location.
    static SceneHeading parse(const QString &heading);

    // "INT", "EXT", "INT/EXT", or empty when the heading has no such prefix.
    QString setting;
    QString location;
    QString timeOfDay;
};
