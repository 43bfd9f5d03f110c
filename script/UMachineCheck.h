// What the machine must offer before an installation writes anything: an install
// folder that can be created and written, an uninstall log that can be created, and
// room on every drive the run writes to. Checked once, before the first write, so a
// machine that cannot take the installation is told so with nothing changed.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/UProducts.h"

// Why the machine cannot take an installation into Dir for the environments of
// Versions (those that are compiled and registered into, at their roots in Detected);
// empty when it can. Leaves nothing behind: the probes it writes are removed again at
// once.
std::wstring MachineProblem(const std::wstring& Dir, int32_t Versions, const TDetectedIdes& Detected);
