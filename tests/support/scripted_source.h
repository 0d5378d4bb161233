#pragma once

#include "acquisition/code_source.h"
#include "acquisition/orphy_control.h"
#include "core/failure.h"

#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace thermo::test {

// A source of codes played from a script. Reads take the scripted steps in turn, whatever the
// channel; once the script is used up, EA0 and EA1 keep giving their steady answer (32768 at
// first), so that any number of ticks can run. It remembers which channels were asked for.
class ScriptedSource : public CodeSource {
public:
    using Step = std::variant<AutomationValue, std::exception_ptr>;

    explicit ScriptedSource(std::string name = "Source de test") : name_(std::move(name)) {}

    // Replaces the control's source; the control owns it, the returned reference stays valid
    // as long as the control keeps it.
    static ScriptedSource& installIn(OrphyControl& control) {
        auto source = std::make_unique<ScriptedSource>();
        ScriptedSource& installed = *source;
        control.setSource(std::move(source));
        return installed;
    }

    void answer(AutomationValue value) { script_.emplace_back(std::move(value)); }
    template <typename Exception> void fail(Exception exception) {
        script_.emplace_back(std::make_exception_ptr(std::move(exception)));
    }

    // From now on EA0 answers ea0 and EA1 answers ea1, and neither throws.
    void setCodes(std::int32_t ea0, std::int32_t ea1) {
        steady_ = {Step{std::int64_t{ea0}}, Step{std::int64_t{ea1}}};
    }
    template <typename Exception> void failOn(std::int32_t channel, Exception exception) {
        steady_.at(static_cast<std::size_t>(channel)) =
            std::make_exception_ptr(std::move(exception));
    }

    AutomationValue read(std::int32_t channel) override {
        channels_.push_back(channel);
        Step step;
        if (!script_.empty()) {
            step = std::move(script_.front());
            script_.pop_front();
        } else if (channel == 0 || channel == 1) {
            step = steady_[static_cast<std::size_t>(channel)];
        } else {
            throw Failure(FailureKind::AcquisitionFailed, "Source de test : voie inexistante");
        }
        if (auto* exception = std::get_if<std::exception_ptr>(&step)) {
            std::rethrow_exception(*exception);
        }
        return std::get<AutomationValue>(std::move(step));
    }
    std::string name() const override { return name_; }

    const std::vector<std::int32_t>& channels() const { return channels_; }
    int reads() const { return static_cast<int>(channels_.size()); }

private:
    std::string name_;
    std::deque<Step> script_;
    std::array<Step, 2> steady_{Step{std::int64_t{32768}}, Step{std::int64_t{32768}}};
    std::vector<std::int32_t> channels_;
};

} // namespace thermo::test
