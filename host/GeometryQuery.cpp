#include "host/GeometryQuery.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

constexpr long kDefaultTolerance = 10000;  // 0.01 mm

// Nanometres per unit; 0 for an unknown unit.
double UnitSize(const std::string& unit) {
    if (unit.empty() || unit == "mm") {
        return 1e6;
    }
    if (unit == "mil") {
        return 25400.0;
    }
    if (unit == "in" || unit == "inch") {
        return 25.4e6;
    }
    return 0;
}

// A number at the start of `text`, and where it ends; nullopt when there is none.
std::optional<double> LeadingNumber(const std::string& text, std::size_t& end) {
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value) || value < 0) {
        return std::nullopt;
    }
    end = static_cast<std::size_t>(stop - text.data());
    return value;
}

}  // namespace

LengthWanted ParseLength(const std::string& text) {
    const auto bad = [&text] {
        return GeometryQueryError(
            "\"" + text +
            "\" is no length: give a number with mm, mil or in, and a tolerance "
            "after ± or +- if wanted (5.4mm±0.2)");
    };
    std::string value = text;
    std::string tolerance;
    bool withTolerance = false;
    for (const std::string sign : {"±", "+-"}) {
        if (const std::size_t at = text.find(sign); at != std::string::npos) {
            value = text.substr(0, at);
            tolerance = text.substr(at + sign.size());
            withTolerance = true;
        }
    }
    std::size_t end = 0;
    const std::optional<double> number = LeadingNumber(value, end);
    const double unit = UnitSize(value.substr(end));
    if (!number || unit == 0) {
        throw bad();
    }
    LengthWanted wanted{std::lround(*number * unit), kDefaultTolerance};
    if (withTolerance) {
        std::size_t toleranceEnd = 0;
        const std::optional<double> plusMinus = LeadingNumber(tolerance, toleranceEnd);
        const std::string toleranceUnit = tolerance.substr(toleranceEnd);
        if (!plusMinus || (!toleranceUnit.empty() && toleranceUnit != value.substr(end))) {
            throw bad();
        }
        wanted.tolerance = std::lround(*plusMinus * unit);
    }
    if (wanted.value > 1000000000L) {  // a metre
        throw bad();
    }
    return wanted;
}

bool GeometryQuery::Matches(const PartGeometry& geometry) const {
    const auto near = [](const std::optional<LengthWanted>& wanted, long value) {
        return !wanted || std::labs(value - wanted->value) <= wanted->tolerance;
    };
    return (!pads || geometry.padCount == *pads) && near(pitch, geometry.pitch) &&
           near(span, geometry.span) && (!smdOnly || geometry.smd);
}

double GeometryQuery::Distance(const PartGeometry& geometry) const {
    const auto apart = [](const std::optional<LengthWanted>& wanted, long value) {
        if (!wanted) {
            return 0.0;
        }
        const double scale = static_cast<double>(std::max(wanted->tolerance, 1L));
        return std::fabs(static_cast<double>(value - wanted->value)) / scale;
    };
    return apart(pitch, geometry.pitch) + apart(span, geometry.span);
}

namespace {

// Takes `word` into `query` when it is a geometry term; false when it is a word of the name.
bool TakeTerm(const std::string& word, GeometryQuery& query) {
    const std::size_t colon = word.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string key = word.substr(0, colon);
    const std::string value = word.substr(colon + 1);
    if (key != "pads" && key != "pitch" && key != "span" && key != "smd") {
        return false;
    }
    try {
        if (key == "pads") {
            std::size_t end = 0;
            const long pads = std::stol(value, &end);
            if (end == value.size() && pads >= 0) {
                query.pads = pads;
            }
        } else if (key == "smd") {
            query.smdOnly = value == "yes";
        } else {
            (key == "pitch" ? query.pitch : query.span) = ParseLength(value);
        }
    } catch (const std::exception&) {
        // still being typed
    }
    return true;
}

}  // namespace

NameAndGeometry SplitGeometryTerms(const std::string& text) {
    NameAndGeometry result;
    std::istringstream words(text);
    std::string word;
    bool anyTerm = false;
    while (words >> word) {
        if (TakeTerm(word, result.geometry)) {
            anyTerm = true;
        } else {
            result.name += (result.name.empty() ? "" : " ") + word;
        }
    }
    if (!anyTerm) {
        result.name = text;  // a name of its own spaces stays as typed
    }
    return result;
}
