#pragma once

#include "acquisition/automation_value.h"
#include "acquisition/board_list.h"
#include "acquisition/board_search.h"
#include "acquisition/code_source.h"
#include "acquisition/orphy_properties.h"
#include "acquisition/serial_ports.h"

#include <QObject>
#include <QString>
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
// It also keeps the boards the user may choose from (BoardList) and searches for them. What the
// control shows in the main window is ui/acquisition/orphy_view.h.
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
    // A board on this serial port, whichever kind it is, found out on the port's first
    // opening, away from this thread; meanwhile the reads fail with how it goes. From the
    // call after it was recognised, the board's own source reads it, on the same opening.
    void usePort(const std::string& portPath);
    CodeSource& source() noexcept;
    // The control's own bench, whether it is the source or kept aside.
    SimulatedBench& bench() noexcept;
    bool usingBench() const noexcept;
    // The kind of the board in use, once known.
    const BoardKind* boardKind() const noexcept;

    // Where boards are searched for and looked for once unplugged: the system's serial ports,
    // unless a test says otherwise. For the sources chosen after.
    void setPorts(PortLister ports);
    // The boards to choose from, kept up to date with the searches and the source in use.
    const BoardList& boards() const noexcept;
    // Searching opens every serial port, which restarts the boards on them: only when the user
    // asks, away from the interface's thread. Its end is merged into boards().
    BoardSearch& search() noexcept;

signals:
    // Another source is in use. The one before is destroyed once this signal has been
    // handled, so whatever still points at it must be connected directly.
    void sourceChanged();
    // A setting or the status of the source in use changed. Told from the event loop, once
    // for however many changes came meanwhile and from whichever thread made them: never
    // inside a read, so that what shows the source is not redrawn within a measurement.
    void sourceUpdated();
    void boardsChanged();
    // The board in use, unplugged, was found again on another port.
    void boardFollowed(const QString& portPath);
    // Since the board in use was unplugged, one like it came on another port, which nothing
    // tells from it: only the user knows whether it is the same.
    void lookalikeFound(const thermo::BoardInfo& board);

private:
    void notifyUpdated();
    void use(CodeSource* source, std::unique_ptr<CodeSource> other, const BoardKind* kind);
    void refreshBoards();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace thermo
