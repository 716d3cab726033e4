#pragma once

// Everything a window fixture's session holds, for tests that reach into it.
#include "common/ClockTimer.h"
#include "config/DriveConfiguration.h"
#include "link/ControllerInfo.h"
#include "motion/Focuser.h"
#include "motion/Guiding.h"
#include "motion/MountPosition.h"
#include "motion/PositionPolling.h"
#include "motion/Target.h"
#include "pec/PecModel.h"
#include "periphery/AuxiliaryOutputs.h"
#include "session/MountSession.h"
