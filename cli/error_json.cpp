#include "cli/error_json.h"

namespace paipan {

using json = nlohmann::ordered_json;

json ErrorJson(const std::string& kind, const std::string& message, const std::optional<std::string>& field) {
    return {{"error", {{"kind", kind}, {"message", message}, {"field", field ? json(*field) : json(nullptr)}}}};
}

std::optional<std::string> OptionNameOf(InputField field) {
    switch (field) {
    case InputField::LongitudeDegrees: return "longitude";
    case InputField::LongitudeMinutes: return "longitude-minutes";
    case InputField::Year: return "year";
    case InputField::Month: return "month";
    case InputField::Day: return "day";
    case InputField::Hour: return "hour";
    case InputField::Minute: return "minute";
    case InputField::None: break;
    }
    return std::nullopt;
}

json InputErrorJson(const InputProblem& problem) {
    return ErrorJson("input", problem.message, OptionNameOf(problem.field));
}

}  // namespace paipan
