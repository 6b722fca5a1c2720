#include "experiment_record.h"

SystemType SystemTypeOf(const TestSettings &settings)
{
    if (settings.LoopType == OpenLoop) {
        return settings.FlowType == 1 ? SystemType::OpenLoopVariableFlow : SystemType::OpenLoopConstantFlow;
    }
    if (settings.Sampling == 0) {
        return SystemType::ClosedLoopContinuous;
    }
    return settings.VolumeHandling == 1 ? SystemType::ClosedLoopDiscreteReplaced
                                        : SystemType::ClosedLoopDiscreteNotReplaced;
}
