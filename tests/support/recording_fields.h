#pragma once

#include "core/circuit_parameters.h"
#include "core/failure.h"
#include "core/main_window_fields.h"
#include "core/read_operation.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace thermo::test {

inline const char* fieldName(Field f) {
    switch (f) {
    case Field::Text1:
        return "Text1";
    case Field::Text2:
        return "Text2";
    case Field::Text3:
        return "Text3";
    case Field::Text4:
        return "Text4";
    case Field::Text7:
        return "Text7";
    case Field::Text8:
        return "Text8";
    }
    return "?";
}

// An in-memory main window that keeps every write, in order, as "Text3=2.5 V" or "font=18",
// with the parameters its ticks are given.
class RecordingFields : public MainWindowFields {
public:
    RecordingFields(std::string r = "10000", std::string a = "10000", std::string b = "4275")
        : parameters{std::move(r), std::move(a), std::move(b)} {}
    std::string text(Field f) const override {
        const auto it = texts.find(f);
        return it == texts.end() ? std::string() : it->second;
    }
    void setText(Field f, const std::string& t) override {
        texts[f] = t;
        writes.push_back(std::string(fieldName(f)) + "=" + t);
    }
    void setTemperatureFontSize(int points) override {
        fontPoints = points;
        writes.push_back("font=" + std::to_string(points));
    }

    CircuitParameters parameters;
    std::map<Field, std::string> texts;
    std::vector<std::string> writes;
    int fontPoints = 0;
};

// Answers each read with the next queued code, or throws the queued failure.
class ScriptedReads : public ReadOperation {
public:
    using Answer = std::variant<std::int32_t, Failure>;

    std::int32_t readChannel(std::int32_t channel) override {
        channels.push_back(channel);
        if (answers.empty()) {
            throw Failure(FailureKind::AcquisitionFailed, "Plus de mesure prévue");
        }
        const Answer answer = answers.front();
        answers.pop_front();
        if (const auto* failure = std::get_if<Failure>(&answer)) {
            throw *failure;
        }
        return std::get<std::int32_t>(answer);
    }
    void queue(std::int32_t ea0, std::int32_t ea1) {
        answers.emplace_back(ea0);
        answers.emplace_back(ea1);
    }

    std::deque<Answer> answers;
    std::vector<std::int32_t> channels;
};

} // namespace thermo::test
