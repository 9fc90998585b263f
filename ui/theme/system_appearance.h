// Whether the system offers light and dark appearance with its dynamic colours. The phone system
// gained them in version 13; this host's platform layer always has them, so only a device that
// reports the phone system below version 13 goes without.
#pragma once

bool hasSystemAppearance();
