// How many processors this process may run on: the CPU affinity mask (as `taskset` or a container
// sets it), not the machine's processor count.
#pragma once

unsigned availableCpuCount();
