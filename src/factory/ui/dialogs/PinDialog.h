#pragma once
// The properties of one pin: a factory input or output, or a node input or output. The dialog
// edits the pin's name, its place along its side (Height, 0 to 1), its declared type and domain
// and its connections: a source (factory input, node output) picks the targets it feeds, a
// target (factory output, node input) the one source that feeds it.
//
// A fixed pin keeps its name, type and domain; only a factory pin that may change the channels
// of its wave gets its domain back. A new type keeps the pin's constant only where the type can
// still hold it, and the connections only to candidates of the same wave-ness.

#include "factory/ui/dialogs/SntDialog.h"

#include <cstdint>

class QLineEdit;
class QListWidget;

namespace kelvorn {

class TDlgSntInputOutputProps : public TSntDialog
{
    Q_OBJECT

public:
    /// pin is a factory input or output or a node input or output (asserted).
    TDlgSntInputOutputProps(QWidget* owner, TSountoryTouchable& pin);

    QLineEdit* editName;
    QLineEdit* editHeight;
    QComboBox* cboType;
    QComboBox* cboDomain;
    QLabel* lblConnect;
    QListWidget* lbConnect;

    /// The domain a type change selects again: the pin's at first, then the last one picked.
    ValueDomain RememberedDomain() const { return rememberedDomain; }
    /// The factory that owns the pin (or its node).
    TUnitSountory* Factory() const { return factory; }

public slots:
    void accept() override;
    void cboTypeChange();
    void cboDomainChange();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool IsSource() const { return source != nullptr; }
    /// Copies the pin into the controls.
    void ShowPin();
    ValueDomType SelectedType() const;
    void FillDomainList(ValueDomType type);
    void SelectDomain(ValueDomType type, ValueDomain domain);
    /// The candidates for type, with the pin's present connections selected.
    void FillConnections(ValueDomType type);
    /// The name refusals of the typed name, each in its box; true when it may be stored.
    bool CheckName(const std::string& name) const;
    void Write(const std::string& name, const unitFactorPosMax1& height, ValueDomType type,
               ValueDomain domain);

    uint8_t kind;
    TSntPinPlace* place = nullptr;
    std::string* pinName = nullptr;
    TSountoryInput* input = nullptr;
    TSountoryOutput* output = nullptr;
    TSountoryNodeInput* nodeInput = nullptr;
    TSountoryNodeOutput* nodeOutput = nullptr;
    TSountoryInputSource* source = nullptr;
    TSountoryOutputTarget* target = nullptr;
    TUnitSountory* factory = nullptr;
    TSountoryNode* node = nullptr;
    bool waveSubtype = false;
    ValueDomain rememberedDomain = ValueDomain::AllValues;
    TSntList candidates;
};

/// Shows the pin's properties; true when OK wrote them (the factory is then marked modified).
/// Connections whose values never match are asked about through the factory's host.
bool EditPinProperties(QWidget* owner, TSountoryTouchable& pin);

} // namespace kelvorn
