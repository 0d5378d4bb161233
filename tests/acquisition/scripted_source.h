#pragma once

#include "acquisition/code_source.h"
#include "core/failure.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <string>
#include <variant>
#include <vector>

namespace thermo::test {

// A source that answers each read with the next scripted value or throws the next scripted
// exception, and remembers which channels were asked for.
class ScriptedSource : public CodeSource {
public:
    using Step = std::variant<AutomationValue, std::exception_ptr>;

    explicit ScriptedSource(std::string name = "Source de test") : name_(std::move(name)) {}

    void answer(AutomationValue value) { steps_.emplace_back(std::move(value)); }
    template <typename Exception> void fail(Exception exception) {
        steps_.emplace_back(std::make_exception_ptr(std::move(exception)));
    }

    AutomationValue read(std::int32_t channel) override {
        channels_.push_back(channel);
        if (steps_.empty()) {
            throw Failure(FailureKind::AcquisitionFailed, "Source de test : script épuisé");
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        if (auto* exception = std::get_if<std::exception_ptr>(&step)) {
            std::rethrow_exception(*exception);
        }
        return std::get<AutomationValue>(std::move(step));
    }
    std::string name() const override { return name_; }

    const std::vector<std::int32_t>& channels() const { return channels_; }

private:
    std::string name_;
    std::deque<Step> steps_;
    std::vector<std::int32_t> channels_;
};

} // namespace thermo::test
