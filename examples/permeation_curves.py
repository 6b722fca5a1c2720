"""Curves of a permeation test's readings, shared by the scripts that write sample workbooks."""
import math


def lagged_rise(t, start, rate, lag):
    """Zero before `start`, then a rise that bends into a straight line of slope `rate`."""
    if t <= start:
        return 0.0
    s = t - start
    return rate * (s - lag * (1 - math.exp(-s / lag)))


def saturating_rise(t, start, plateau, lag):
    """Zero before `start`, then a rise towards `plateau`."""
    if t <= start:
        return 0.0
    return plateau * (1 - math.exp(-(t - start) / lag))


# Closed loop, continuous sampling: the collection medium accumulates the chemical, so the
# concentration (µg/L) climbs on after breakthrough. Times in minutes, one reading a minute.
