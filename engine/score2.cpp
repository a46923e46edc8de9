#include "score2.h"

#include "portable_math.h"
#include "score2_coefficients.h"

namespace vessane {
namespace {

// ln(-ln s) of a baseline survival, computed once for each of the four.
double ComplementaryLogLog(double survival) {
    static const struct Table {
        double survival[4], value[4];
        Table() {
            const double all[4] = {
                score2::kScore2.male.baselineSurvival, score2::kScore2.female.baselineSurvival,
                score2::kScore2Op.male.baselineSurvival, score2::kScore2Op.female.baselineSurvival};
            for (int i = 0; i < 4; ++i) {
                survival[i] = all[i];
                value[i] = PortableLog(-PortableLog(all[i]));
            }
        }
    } table;
    for (int i = 0; i < 4; ++i) {
        if (table.survival[i] == survival) return table.value[i];
    }
    return PortableLog(-PortableLog(survival));
}

}  // namespace

Score2Model Score2ModelFor(double age) {
    return age < 70 ? Score2Model::kScore2 : Score2Model::kScore2Op;
}

double Score2Risk(const Score2Inputs& in, Score2Region region) {
    const score2::Model& model =
        Score2ModelFor(in.age) == Score2Model::kScore2 ? score2::kScore2 : score2::kScore2Op;
    const score2::SexModel& b = in.male ? model.male : model.female;
    const score2::Centring& c = model.centring;
    const double age = (in.age - c.age) / c.ageScale;
    const double systolic = (in.systolic - c.systolic) / c.systolicScale;
    const double total = (in.totalMmol - c.total) / c.totalScale;
    const double hdl = (in.hdlMmol - c.hdl) / c.hdlScale;
    const double smoking = in.smoker ? 1 : 0;
    const double diabetes = in.diabetes ? 1 : 0;
    const double predictor = b.age * age + b.smoking * smoking + b.systolic * systolic +
                             b.diabetes * diabetes + b.total * total + b.hdl * hdl +
                             b.smokingAge * smoking * age + b.systolicAge * systolic * age +
                             b.totalAge * total * age + b.hdlAge * hdl * age +
                             b.diabetesAge * diabetes * age - b.meanLinearPredictor;
    // The uncalibrated risk is 1 - S0^exp(predictor); the region's recalibration reads its
    // complementary log-log, ln(-ln(S0^exp(predictor))) = predictor + ln(-ln S0): written
    // so, without the round trip through 1 - S0^exp(predictor), which loses digits.
    const double cloglog = predictor + ComplementaryLogLog(b.baselineSurvival);
    const score2::Scale& scale =
        (in.male ? model.maleScales : model.femaleScales)[static_cast<int>(region)];
    return 1 - PortableExp(-PortableExp(scale.first + scale.second * cloglog));
}

}  // namespace vessane
