#pragma once

#include "config/DeviceEds.h"
#include "config/ProjectCheck.h"

// Where the SDO map meets the device's EDS: every row of sdo.xml whose object the
// device does not have, whose size differs from nByte, or whose access does not fit
// the direction (IN reads the device, OUT writes it). Warnings: generation goes on.
QList<ConfigProblem> checkSdoMapAgainstDevice(const ProjectState &project, const DeviceEds &eds);
