// Settings of the analysis window kept from one opening to the next within the
// process. All zero when the module is loaded; never written to disk.
#pragma once

struct kvAnalyseLastSettings {
    bool valid;
    int mode;
    bool radiusValid;
    double minDiameter, maxDiameter, diameterSteps;
    bool showKonkave, showKonvex, showUndercut;
    bool planeValid;
    double minAngle, maxAngle, angleSteps;
    bool collisionValid;
    bool toolCollisionCheck;
    double precision;
    double stepX, stepY, stepZ;
    double stepA, stepB, stepC;
    double stepAngle;
};

// The module's one record.
kvAnalyseLastSettings& kvAnalyseLastSettingsRecord();
