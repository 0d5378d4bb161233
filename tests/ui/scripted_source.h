#pragma once

#include "acquisition/code_source.h"
#include "acquisition/orphy_control.h"

#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <string>

namespace thermo::test {

// A source of codes for the GUI tests. Each channel answers with its queued codes in turn and
// then keeps repeating the last one, so that any number of ticks can run; a channel can also
// be made to throw.
class ScriptedSource : public CodeSource {
public:
    // Replaces the control's source; the control owns it, the returned reference stays valid
    // as long as the control.
    static ScriptedSource& installIn(OrphyControl& control) {
        auto source = std::make_unique<ScriptedSource>();
        ScriptedSource& installed = *source;
        control.setSource(std::move(source));
        return installed;
    }

    // From now on EA0 answers ea0 and EA1 answers ea1, and neither throws.
    void setCodes(std::int32_t ea0, std::int32_t ea1) {
        channels_[0] = {{ea0}, nullptr};
        channels_[1] = {{ea1}, nullptr};
    }
    void queue(std::int32_t channel, std::int32_t code) {
        channels_.at(static_cast<std::size_t>(channel)).codes.push_back(code);
    }
    template <typename Exception> void failOn(std::int32_t channel, Exception exception) {
        channels_.at(static_cast<std::size_t>(channel)).failure =
            std::make_exception_ptr(std::move(exception));
    }

    AutomationValue read(std::int32_t channel) override {
        ++reads_;
        Channel& answers = channels_.at(static_cast<std::size_t>(channel));
        if (answers.failure) {
            std::rethrow_exception(answers.failure);
        }
        const std::int32_t code = answers.codes.front();
        if (answers.codes.size() > 1) {
            answers.codes.pop_front();
        }
        return std::int64_t{code};
    }
    std::string name() const override { return "Source de test"; }

    int reads() const { return reads_; }

private:
    struct Channel {
        std::deque<std::int32_t> codes{32768};
        std::exception_ptr failure;
    };
    std::array<Channel, 2> channels_;
    int reads_ = 0;
};

} // namespace thermo::test
