#include "network/protocol/class_message.h"

#include "core/failure.h"
#include "network/protocol/byte_codec.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace thermo::classroom {

namespace {

using codec::Reader;
using codec::refuseMessage;
using codec::Writer;

constexpr std::uint8_t magic = 'T';
constexpr std::uint8_t version = 1;

enum class Kind : std::uint8_t { Batch = 1, State = 2, Left = 3, Backfill = 4, Enrolment = 5 };

// A reading's flags: its gap in the two low bits, then what it carries.
constexpr std::uint8_t gapMask = 0x03;
constexpr std::uint8_t afterPauseFlag = 0x04;
constexpr std::uint8_t codeFlag = 0x08;
constexpr std::uint8_t uthFlag = 0x10;
constexpr std::uint8_t utFlag = 0x20;
constexpr std::uint8_t knownFlags = 0x3F;

// Volts travel as whole millivolts: they are rounded to 3 decimals before anything shows them.
constexpr std::int32_t maxMillivolts = 100'000;
constexpr double maxCelsius = 1e6;

bool sameNumber(double x, double y) {
    return (std::isnan(x) && std::isnan(y)) || x == y;
}

bool isAccount(const std::string& account) {
    if (account.empty() || account.size() > maxAccountBytes) {
        return false;
    }
    for (const char c : account) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) {
            return false;
        }
    }
    return true;
}

bool isPassword(const std::string& password) {
    if (password.empty() || password.size() > maxPasswordBytes) {
        return false;
    }
    for (const char c : password) {
        if (c < 0x21 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

std::int32_t millivolts(double volts) {
    const double mv = std::round(volts * 1000);
    if (!(std::abs(mv) <= maxMillivolts)) {
        refuseMessage("tension hors limites");
    }
    return static_cast<std::int32_t>(mv);
}

void write(Writer& out, const Batch& batch) {
    if (batch.number == 0 || batch.readings.empty() || batch.readings.size() > maxBatchReadings) {
        refuseMessage("lot vide, trop grand ou sans numéro");
    }
    out.number(batch.run);
    out.number(batch.number);
    out.number(batch.startedAt);
    out.number(static_cast<std::uint16_t>(batch.readings.size()));
    std::int64_t previous = 0;
    for (const Sample& s : batch.readings) {
        if (s.millis < previous || s.millis > std::numeric_limits<std::uint32_t>::max()) {
            refuseMessage("temps hors limites");
        }
        previous = s.millis;
        const bool temperature = s.gap == Gap::None;
        if (temperature && !(std::abs(s.celsius) < maxCelsius)) {
            refuseMessage("température hors limites");
        }
        std::uint8_t flags = static_cast<std::uint8_t>(s.gap);
        flags |= s.afterPause ? afterPauseFlag : 0;
        flags |= s.code ? codeFlag : 0;
        flags |= std::isnan(s.uth) ? 0 : uthFlag;
        flags |= std::isnan(s.ut) ? 0 : utFlag;
        out.number(static_cast<std::uint32_t>(s.millis));
        out.number(flags);
        if (s.code) {
            out.number(*s.code);
        }
        if (!std::isnan(s.uth)) {
            out.number(millivolts(s.uth));
        }
        if (!std::isnan(s.ut)) {
            out.number(millivolts(s.ut));
        }
        if (temperature) {
            out.number(s.celsius);
        }
    }
}

double readVolts(Reader& in, bool present) {
    if (!present) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const auto mv = in.number<std::int32_t>();
    in.require(mv >= -maxMillivolts && mv <= maxMillivolts);
    return mv / 1000.0;
}

Batch readBatch(Reader& in) {
    Batch batch;
    batch.run = in.number<std::uint32_t>();
    batch.number = in.number<std::uint32_t>();
    batch.startedAt = in.number<std::int64_t>();
    const auto count = in.number<std::uint16_t>();
    in.require(batch.number > 0 && count > 0 && count <= maxBatchReadings);
    std::int64_t previous = 0;
    for (std::size_t i = 0; in.ok() && i < count; ++i) {
        Sample s;
        s.millis = in.number<std::uint32_t>();
        const auto flags = in.number<std::uint8_t>();
        in.require(s.millis >= previous && (flags & ~knownFlags) == 0 &&
                   (flags & gapMask) <= static_cast<std::uint8_t>(Gap::LowSupply));
        previous = s.millis;
        s.gap = static_cast<Gap>(flags & gapMask);
        s.afterPause = (flags & afterPauseFlag) != 0;
        if ((flags & codeFlag) != 0) {
            s.code = in.number<std::int32_t>();
        }
        s.uth = readVolts(in, (flags & uthFlag) != 0);
        s.ut = readVolts(in, (flags & utFlag) != 0);
        s.celsius = std::numeric_limits<double>::quiet_NaN();
        if (s.gap == Gap::None) {
            s.celsius = in.number<double>();
            in.require(std::abs(s.celsius) < maxCelsius);
        }
        batch.readings.push_back(s);
    }
    return batch;
}

void write(Writer& out, const GroupState& state) {
    out.number(state.run);
    out.number(state.startedAt);
    out.number(state.lastBatch);
    out.number(static_cast<std::uint8_t>(state.running ? 1 : 0));
    out.text(state.name, maxNameBytes);
    out.text(state.source, maxSourceBytes);
    for (const std::string* parameter : {&state.r, &state.a, &state.b}) {
        out.text(*parameter, maxParameterBytes);
    }
}

GroupState readState(Reader& in) {
    GroupState state;
    state.run = in.number<std::uint32_t>();
    state.startedAt = in.number<std::int64_t>();
    state.lastBatch = in.number<std::uint32_t>();
    const auto running = in.number<std::uint8_t>();
    in.require(running <= 1);
    state.running = running == 1;
    state.name = in.text(maxNameBytes);
    state.source = in.text(maxSourceBytes);
    for (std::string* parameter : {&state.r, &state.a, &state.b}) {
        *parameter = in.text(maxParameterBytes);
    }
    return state;
}

bool validRanges(const std::vector<BatchRange>& ranges) {
    std::uint64_t total = 0;
    for (const BatchRange& range : ranges) {
        if (range.first == 0 || range.first > range.last) {
            return false;
        }
        total += std::uint64_t{range.last} - range.first + 1;
    }
    return !ranges.empty() && ranges.size() <= maxBackfillRanges && total <= maxBackfillBatches;
}

void write(Writer& out, const BackfillRequest& request) {
    if (!validRanges(request.ranges)) {
        refuseMessage("demande de lots hors limites");
    }
    out.number(request.run);
    out.number(static_cast<std::uint8_t>(request.ranges.size()));
    for (const BatchRange& range : request.ranges) {
        out.number(range.first);
        out.number(range.last);
    }
}

BackfillRequest readBackfill(Reader& in) {
    BackfillRequest request;
    request.run = in.number<std::uint32_t>();
    const auto count = in.number<std::uint8_t>();
    in.require(count <= maxBackfillRanges);
    for (std::size_t i = 0; in.ok() && i < count; ++i) {
        BatchRange range;
        range.first = in.number<std::uint32_t>();
        range.last = in.number<std::uint32_t>();
        request.ranges.push_back(range);
    }
    in.require(validRanges(request.ranges));
    return request;
}

void write(Writer& out, const Enrolment& enrolment) {
    if (!isAccount(enrolment.account) || !isPassword(enrolment.password)) {
        refuseMessage("compte ou mot de passe illisible");
    }
    out.text(enrolment.account, maxAccountBytes);
    out.text(enrolment.password, maxPasswordBytes);
    out.text(enrolment.name, maxNameBytes);
}

Enrolment readEnrolment(Reader& in) {
    Enrolment enrolment;
    enrolment.account = in.text(maxAccountBytes);
    enrolment.password = in.text(maxPasswordBytes);
    enrolment.name = in.text(maxNameBytes);
    in.require(isAccount(enrolment.account) && isPassword(enrolment.password) &&
               !enrolment.name.empty());
    return enrolment;
}

Kind kindOf(const Message& message) {
    return static_cast<Kind>(message.index() + 1);
}

} // namespace

bool Batch::operator==(const Batch& other) const {
    if (run != other.run || number != other.number || startedAt != other.startedAt ||
        readings.size() != other.readings.size()) {
        return false;
    }
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const Sample& x = readings[i];
        const Sample& y = other.readings[i];
        if (x.millis != y.millis || x.code != y.code || x.gap != y.gap ||
            x.afterPause != y.afterPause || !sameNumber(x.celsius, y.celsius) ||
            !sameNumber(x.uth, y.uth) || !sameNumber(x.ut, y.ut)) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> encode(const Message& message) {
    Writer out;
    out.number(magic);
    out.number(version);
    out.number(static_cast<std::uint8_t>(kindOf(message)));
    std::visit(
        [&out](const auto& body) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(body)>, GroupLeft>) {
                write(out, body);
            }
        },
        message);
    return out.take();
}

std::optional<Message> decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > maxMessageBytes) {
        return std::nullopt;
    }
    Reader in(bytes);
    const auto head = in.number<std::uint8_t>();
    const auto format = in.number<std::uint8_t>();
    const auto kind = static_cast<Kind>(in.number<std::uint8_t>());
    if (!in.ok() || head != magic || format != version) {
        return std::nullopt;
    }
    std::optional<Message> message;
    switch (kind) {
    case Kind::Batch:
        message = readBatch(in);
        break;
    case Kind::State:
        message = readState(in);
        break;
    case Kind::Left:
        message = GroupLeft{};
        break;
    case Kind::Backfill:
        message = readBackfill(in);
        break;
    case Kind::Enrolment:
        message = readEnrolment(in);
        break;
    default:
        return std::nullopt;
    }
    return in.finished() ? message : std::nullopt;
}

} // namespace thermo::classroom
