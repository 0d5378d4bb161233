#pragma once

#include "acquisition/automation_value.h"
#include "acquisition/code_source.h"
#include "acquisition/orphy_properties.h"

#include <QObject>
#include <cstdint>
#include <memory>

namespace thermo {

struct BoardKind;
class SimulatedBench;

// Dispatch identifier of the control's read method.
inline constexpr std::int32_t readDispatchId = 0x6003001E;

// Stand-in for the ORPHY GTS2 acquisition control: its one automation entry reads a channel
// from its source of codes. Its own simulated bench is the source at first; another source may
// take its place, and the bench, kept aside with its settings, comes back with useSimulation().
// What the control shows in the main window is ui/acquisition/orphy_view.h.
class OrphyControl : public QObject {
    Q_OBJECT
public:
    explicit OrphyControl(const OrphyProperties& properties, QObject* parent = nullptr);
    ~OrphyControl() override;

    const OrphyProperties& properties() const noexcept;

    // Late-bound call by dispatch identifier with one 32-bit argument. A failed call (unknown
    // identifier, no answer from the source) throws Failure(AcquisitionFailed).
    AutomationValue invoke(std::int32_t dispatchId, std::int32_t argument);

    // Replaces the source of codes from the next call on.
    void setSource(std::unique_ptr<CodeSource> source);
    // Back to the simulated bench as it was left.
    void useSimulation();
    // A board of that kind on this serial port.
    void useBoard(const BoardKind& kind, const std::string& portPath);
    // A board on this serial port, whichever kind it is. The kinds ask the port in turn, away
    // from this thread and again after detectionPause until one recognises it; meanwhile the
    // reads fail with how it goes.
    void usePort(const std::string& portPath);
    static constexpr int detectionPauseMs = 1000;
    CodeSource& source() noexcept;
    // The control's own bench, whether it is the source or kept aside.
    SimulatedBench& bench() noexcept;
    bool usingBench() const noexcept;
    // The kind of the board in use, when one was chosen through useBoard().
    const BoardKind* boardKind() const noexcept;

signals:
    // Another source is in use. The one before is destroyed once this signal has been
    // handled, so whatever still points at it must be connected directly.
    void sourceChanged();
    // A setting or the status of the source in use changed. Told from the event loop, once
    // for however many changes came meanwhile and from whichever thread made them: never
    // inside a read, so that what shows the source is not redrawn within a measurement.
    void sourceUpdated();

private:
    void notifyUpdated();
    void use(CodeSource* source, std::unique_ptr<CodeSource> other, const BoardKind* kind);
    void detected(const std::string& portPath);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace thermo
