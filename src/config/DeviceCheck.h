#pragma once

#include "config/DeviceEds.h"
#include "config/ProjectCheck.h"

// Where the SDO map meets the device's EDS: every row of sdo.xml whose object the
// device does not have, whose size differs from nByte, or whose access does not fit
// the direction (IN reads the device, OUT writes it). Warnings: generation goes on.
QList<ConfigProblem> checkSdoMapAgainstDevice(const ProjectState &project, const DeviceEds &eds);

// The same for pdo.xml and the device's PDOs at nodeId: every row whose COB-ID is
// none of the device's PDOs of its direction (the IN list takes the device's TPDOs,
// the OUT list its RPDOs), names a PDO the device has switched off, or whose
// Dimension differs from the PDO's length. Throws TessiroError when a COB-ID or
// mapping of the EDS cannot be read.
QList<ConfigProblem> checkPdoMapAgainstDevice(const ProjectState &project, const DeviceEds &eds, quint32 nodeId);

// Both maps; without a valid node ID the PDO rows are left out, with one warning saying so.
QList<ConfigProblem> checkMapsAgainstDevice(const ProjectState &project, const DeviceEds &eds, qint32 nodeId);

// The comparison the main window runs before generating, with the device the
// project remembers (device.xml): nothing when it remembers none. An EDS that does
// not read is one warning too, since the comparison never stops generation.
QList<ConfigProblem> checkProjectAgainstDevice(const ProjectState &project);
