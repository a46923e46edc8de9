#include "score2.h"

#include <initializer_list>

#include "portable_math.h"
#include "score2_coefficients.h"

namespace vessane {
namespace {

// ln(-ln S0) of each model's baseline survival, by model and sex, computed once.
double ComplementaryLogLog(bool op, bool male) {
    static const struct Table {
        double value[2][2];
        Table() {
            for (const bool isOp : {false, true}) {
                const score2::Model& model = isOp ? score2::kScore2Op : score2::kScore2;
                value[isOp][1] = PortableLog(-PortableLog(model.male.baselineSurvival));
                value[isOp][0] = PortableLog(-PortableLog(model.female.baselineSurvival));
            }
        }
    } table;
    return table.value[op][male];
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
    const double cloglog = predictor + ComplementaryLogLog(&model == &score2::kScore2Op, in.male);
    const score2::Scale& scale =
        (in.male ? model.maleScales : model.femaleScales)[static_cast<int>(region)];
    return 1 - PortableExp(-PortableExp(scale.first + scale.second * cloglog));
}

}  // namespace vessane
