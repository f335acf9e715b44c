#pragma once
// The values dialog: one row per pin, built when the dialog is made, asking either the value
// type (types page) or the constant value (values page) of each. It serves a node's inputs and
// the factory's outputs in the editor, where a row's check box says whether the pin holds a
// constant, and the factory's inputs before a top-level run, where every row takes a value.
//
// OK reads every row before it writes any, so a row that fails leaves every pin as it was and
// a Cancel afterwards really writes nothing.

#include "factory/core/FactoryHost.h"
#include "factory/ui/dialogs/SntDialog.h"

#include <cstdint>
#include <vector>

class QCheckBox;
class QScrollArea;

namespace kelvorn {

class TDlgSntValues : public TSntDialog
{
    Q_OBJECT

public:
    /// Whose pins the rows are.
    enum Mode : uint8_t { NodeInputs = 0, FactoryOutputs = 1, FactoryInputs = 2 };

    /// The given factory inputs, every one a row.
    TDlgSntValues(QWidget* owner, bool types, const std::vector<TSountoryInput*>& inputs,
                  TUnitSountory& factory);
    /// The node's inputs: all of them for values, those of a composite type for types.
    TDlgSntValues(QWidget* owner, bool types, TSountoryNode& node);
    /// The factory's outputs, chosen as a node's inputs are.
    TDlgSntValues(QWidget* owner, bool types, TUnitSountory& factory);
    ~TDlgSntValues() override;

    QScrollArea* sboValues = nullptr;

    Mode GetMode() const { return mode; }
    bool IsTypes() const { return types; }
    int RowCount() const;
    /// The row's first column: its check box (node inputs, factory outputs) or its label.
    QWidget* RowTitle(int row) const;
    /// The row's check box; nullptr for factory inputs.
    QCheckBox* RowCheck(int row) const;
    /// The row's value control: an edit, the "Flag Set" box or a list.
    QWidget* RowValue(int row) const;

public slots:
    void accept() override;
    /// Every value control reaches to 10 pixels before the scroll box's right edge, and is at
    /// least 10 pixels wide.
    void sboValuesResize();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row;
    struct Reading;

    TDlgSntValues(QWidget* owner, Mode mode, bool types, const std::string& caption);
    void AddTargetRow(TSountoryOutputTarget& target, const std::string& name,
                      const TSntPinPlace& place);
    void AddInputRow(TSountoryInput& input);
    /// Makes the row controls, once all rows are known.
    void BuildRows();
    void ShowRow(Row& row);
    void RowEdited(size_t row);
    /// What OK writes into the row's pin; false, after its box, when the input is refused.
    bool ReadRow(const Row& row, Reading& reading) const;
    void WriteRow(const Row& row, const Reading& reading) const;

    Mode mode;
    bool types;
    FactoryHost* host = nullptr;
    std::vector<Row> rows;
    QWidget* rowArea = nullptr;
};

/// The values dialog for a node's inputs (types page when types is set); true when OK wrote
/// them (the factory is then marked modified).
bool EditNodeInputValues(QWidget* owner, TSountoryNode& node, bool types);
/// The same for the factory's outputs.
bool EditFactoryOutputValues(QWidget* owner, TUnitSountory& factory, bool types);

/// The values dialog as the step before a top-level run asks for the factory's inputs: their
/// types, then their values. Cancel in either stops the run.
class TSntValuesDialogAsker : public SntValuesAsker
{
public:
    explicit TSntValuesDialogAsker(QWidget* owner) : owner(owner) {}

    bool AskTypes(const std::vector<TSountoryInput*>& inputs) override;
    bool AskValues(const std::vector<TSountoryInput*>& inputs) override;

private:
    bool Ask(const std::vector<TSountoryInput*>& inputs, bool types);

    QWidget* owner;
};

} // namespace kelvorn
