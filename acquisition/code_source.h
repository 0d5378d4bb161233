#pragma once

#include "acquisition/automation_value.h"
#include "acquisition/board_info.h"
#include "acquisition/source_settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace thermo {

enum class SourceState { Connecting, Connected, Lost };

struct SourceStatus {
    SourceState state = SourceState::Connected;
    std::string cause; // why the last read failed, as the user was told; empty when connected

    friend bool operator==(const SourceStatus&, const SourceStatus&) = default;
};

// Where the acquisition control's codes come from (the simulated bench, a board, a script),
// and what the control can show of it without knowing which it is.
class CodeSource {
public:
    using Listener = std::function<void()>;

    virtual ~CodeSource() = default;

    // The value the control returns for one channel; throws Failure(AcquisitionFailed) when
    // the device does not answer.
    virtual AutomationValue read(std::int32_t channel) = 0;
    // Short French name shown to the user, e.g. "Banc simulé".
    virtual std::string name() const = 0;
    // The serial port it reads from; empty for a source without one.
    virtual std::string portPath() const { return {}; }
    virtual SourceStatus status() const { return {}; }
    // The board it reads from, once the board said what it is.
    virtual std::optional<BoardInfo> board() const { return std::nullopt; }
    // Boards found since its board was unplugged that nothing tells from it: only the user can
    // say whether one of them is it.
    virtual std::vector<BoardInfo> lookalikes() const { return {}; }

    // Settings the user may change. An unknown key throws std::invalid_argument.
    virtual std::vector<NumberSetting> numberSettings() const { return {}; }
    virtual double number(const std::string& key) const;
    virtual void setNumber(const std::string& key, double value);
    virtual std::vector<ChoiceSetting> choiceSettings() const { return {}; }
    virtual std::string choice(const std::string& key) const;
    virtual void choose(const std::string& key, const std::string& choiceKey);

    // Called after a setting or the status changed, by whatever changed it; replaces the
    // listener before. Set it before the source is in use.
    void setListener(Listener listener) { listener_ = std::move(listener); }

protected:
    void notifyChanged() const {
        if (listener_) {
            listener_();
        }
    }

private:
    Listener listener_;
};

} // namespace thermo
