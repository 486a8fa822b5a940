// The request record and the two array helpers of the engine.
#include <cmath>
#include <stdexcept>

#include "engine/pillar_engine.h"

namespace paipan {
namespace {

int WholeNumber(const Value& v) {
    // Date parts, sex and layout arrive as numbers; a text that is not a
    // number counts as 0, like an empty value.
    const double n = v.ToNumber().value_or(0);
    return std::fabs(n) < 1e9 ? static_cast<int>(std::floor(n)) : 0;
}

int Switch(const Value& v) {
    // A switch is stored as the number the value yields when 0 is added to
    // it; a non-numeric text counts as off.
    const auto n = v.ToNumber();
    if (!n) return 0;
    // Only exactly 1 switches a section on; a fraction is kept as "not 1".
    if (*n == 1.0) return 1;
    return (*n == std::floor(*n) && std::fabs(*n) < 1e9) ? static_cast<int>(*n) : 0;
}

std::string Text(const Value& v) {
    if (v.IsText()) return std::get<std::string>(v.v);
    if (v.IsEmpty()) return {};
    throw std::logic_error("SetRequest: name and place must be texts");
}

}  // namespace

void PillarEngine::SetRequest(const Value& nian_, const Value& yue_, const Value& ri_, const Value& shi_,
                              const Value& fen_, const Value& sex2_, const Value& name2_, const Value& area2_,
                              const Value& dyp2_, const Value& lnp2_, const Value& cgp2_, const Value& ssp2_,
                              const Value& nyp2_, const Value& shenshap2_, const Value& csp2_, const Value& mgp2_,
                              const Value& qyp2_, const Value& xyp2_, const Value& zsp2_, const Value& jyssp2_,
                              const Value& mode2_) {
    nian = WholeNumber(nian_);
    yue = WholeNumber(yue_);
    ri = WholeNumber(ri_);
    shi = WholeNumber(shi_);
    fen = WholeNumber(fen_);
    sex2 = WholeNumber(sex2_);
    name2 = Text(name2_);
    area2 = Text(area2_);
    dyp2 = Switch(dyp2_);
    lnp2 = Switch(lnp2_);
    cgp2 = Switch(cgp2_);
    ssp2 = Switch(ssp2_);
    nyp2 = Switch(nyp2_);
    shenshap2 = Switch(shenshap2_);
    csp2 = Switch(csp2_);
    mgp2 = Switch(mgp2_);
    qyp2 = Switch(qyp2_);
    xyp2 = Switch(xyp2_);
    zsp2 = Switch(zsp2_);
    jyssp2 = Switch(jyssp2_);
    mode2 = WholeNumber(mode2_);
}

void PillarEngine::SetRequest(const EngineRequest& r) {
    SetRequest(r.year, r.month, r.day, r.hour, r.minute, r.sex, r.name, r.place, r.dyp, r.lnp, r.cgp, r.ssp, r.nyp,
               r.shenshap, r.csp, r.mgp, r.qyp, r.xyp, r.zsp, r.jyssp, r.mode);
    s_realtime = r.realtime;
}

int PillarEngine::m_array(const Value& a, const Value& arr) const {
    if (!arr.IsArray()) return -2;
    int result = -1;
    const auto& items = arr.Array();
    // No early exit: the last matching index wins.
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == a) result = static_cast<int>(i);
    }
    return result;
}

Value PillarEngine::expandarray(Value& arr) const {
    if (!arr.IsArray()) throw std::logic_error("expandarray needs a one-dimensional array");
    arr.Array().emplace_back();
    return {};
}

}  // namespace paipan
