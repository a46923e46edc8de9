#include "risk_state.h"

namespace vessane {

RiskState g_riskState{};

void ComputeRisk() {
    ComputeRisk(g_riskState);
}

}  // namespace vessane
