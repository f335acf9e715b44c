#include "waveui/WaveCombo.h"

#include <QComboBox>
#include <QVariant>

namespace kelvorn {

namespace {

// Names are 8-bit texts throughout the program; Latin-1 keeps every byte as it is.
QString ToQString(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQString(const QString& text)
{
    return text.toLatin1().toStdString();
}

} // namespace

void FillWaveComboItems(QComboBox& combo, const std::vector<WaveChoice>& list, int selected)
{
    combo.clear();
    for (const WaveChoice& choice : list)
        combo.addItem(ToQString(choice.caption),
                      QVariant::fromValue(static_cast<void*>(choice.unitWave)));
    combo.setCurrentIndex(selected >= 0 && selected < combo.count() ? selected : -1);
}

TUnitWave* WaveComboItemDocument(const QComboBox& combo, int index)
{
    if (index < 0 || index >= combo.count())
        return nullptr;
    QVariant data = combo.itemData(index);
    if (!data.canConvert<void*>())
        return nullptr;
    return static_cast<TUnitWave*>(data.value<void*>());
}

void ReadWaveCombo(unitUnitWave& wave, bool& ok, const QComboBox& combo, const std::string& label)
{
    if (!ok)
        return;
    int index = combo.currentIndex();
    if (index < 0) {
        wave.ReadWaveChoice(ok, nullptr, label);
        return;
    }
    WaveChoice choice{FromQString(combo.itemText(index)), WaveComboItemDocument(combo, index)};
    wave.ReadWaveChoice(ok, &choice, label);
}

void FillWaveCombo(const unitUnitWave& wave, QComboBox& combo)
{
    std::vector<std::string> captions;
    captions.reserve(static_cast<size_t>(combo.count()));
    for (int index = 0; index < combo.count(); ++index)
        captions.push_back(FromQString(combo.itemText(index)));
    int found = wave.FindWaveChoice(captions, combo.currentIndex());
    if (found != combo.currentIndex())
        combo.setCurrentIndex(found);
}

} // namespace kelvorn
