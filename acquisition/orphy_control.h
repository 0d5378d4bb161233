#pragma once

#include "acquisition/automation_value.h"
#include "acquisition/code_source.h"

#include <QWidget>
#include <cstdint>
#include <memory>

namespace thermo {

struct BoardKind;
class SimulatedBench;
class SourceMenu;

// Dispatch identifier of the control's read method.
inline constexpr std::int32_t readDispatchId = 0x6003001E;

// The persisted property set the main window hands to the control when it is created. Kept as
// typed values; nothing reads them.
struct OrphyProperties {
    std::int32_t extentX = 4471; // hundredths of a millimetre
    std::int32_t extentY = 873;
    std::int32_t voie = 1;
    std::uint32_t backColor = 0x80000005; // the system's window background
    std::int16_t calibre = 0;
    std::string nomGrandeur; // 50 characters
    std::string nomUnite;    // 20 characters
    float valGrandeur = 5.0836181640625f;
    std::string nomSymbole; // 20 characters
    std::string version;    // 20 characters
    std::string rom;        // 200 characters
    static OrphyProperties mainWindowSet();
};

// Stand-in for the ORPHY GTS2 acquisition control: a widget in the main window whose one
// automation entry reads a channel from its source of codes. Its own simulated bench is the
// source at first; another source may take its place, and the bench, kept aside with its
// settings, comes back with useSimulation().
class OrphyControl : public QWidget {
    Q_OBJECT
public:
    explicit OrphyControl(const OrphyProperties& properties, QWidget* parent = nullptr);
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
    CodeSource& source() noexcept;
    // The control's own bench, whether it is the source or kept aside.
    SimulatedBench& bench() noexcept;
    bool usingBench() const noexcept;
    // The kind of the board in use, when one was chosen through useBoard().
    const BoardKind* boardKind() const noexcept;

    // 2535 x 495 twips, the control's rectangle in the main window.
    QSize sizeHint() const override;

    SourceMenu& sourceMenu() noexcept;
    void setZoom(double zoom);

signals:
    // Another source is in use.
    void sourceChanged();
    // A setting or the status of the source in use changed, from whichever thread changed it.
    void sourceUpdated();

private:
    void use(CodeSource* source);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace thermo
