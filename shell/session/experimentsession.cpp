#include "experimentsession.h"

#include "entryconversion.h"

#include <cmath>

ExperimentSession::ExperimentSession(const ExperimentDefinition &definition)
    : m_definition(definition)
    , m_model(definition.makeModel())
{
}

ExperimentSession::RunResult ExperimentSession::run(const EntryTexts &texts, const QLocale &locale)
{
    std::array<float, EntryCount> values{};
    for (int index = 0; index < EntryCount; ++index) {
        m_drawCount += 1;
        const std::optional<float> value = EntryConversion::toSingle(texts[index], locale);
        const double upperLimit = index == TemperatureEntry ? m_definition.temperatureLimit : 1.0;
        const double lowerLimit = index == TemperatureEntry ? m_definition.lowestTemperature : 0.0;
        if (!value || *value < lowerLimit || *value > upperLimit)
            return {RunResult::Kind::EntryError, index, {}};
        values[index] = *value;
    }
    const RunOutcome outcome = m_model->run({values[Grams1Entry], values[Grams2Entry],
                                             values[TemperatureEntry]});
    if (!outcome.isSuccess())
        return {RunResult::Kind::Aborted, -1, {}};
    return {RunResult::Kind::ChargeShown, -1, outcome.charge};
}

ExperimentSession::CoolResult ExperimentSession::cool(const CoolTexts &texts, CoolEntries::Kind kind,
                                                     const QLocale &locale)
{
    const auto refuse = [](int index, const QString &message) { return CoolResult{false, index, message, {}}; };
    std::array<float, CoolEntryCount> values{};
    for (int index = CoolGrams1; index <= CoolGrams2; ++index) {
        const std::optional<float> grams = EntryConversion::toSingle(texts[index], locale);
        if (!grams || *grams < 0 || *grams > 1)
            return refuse(index, entryErrorMessage(Grams1Entry));
        values[index] = *grams;
    }
    const int lowest = m_definition.lowestTemperature;
    const int highest = m_definition.temperatureLimit;
    const int limits[CoolEntryCount][2] = {{}, {}, {lowest, highest}, {lowest, highest}, {1, std::max(1, highest - lowest)}};
    for (int index = CoolFrom; index <= CoolStep; ++index) {
        const int low = limits[index][0];
        // The end lies at or below the start.
        const int high = index == CoolTo ? int(values[CoolFrom]) : limits[index][1];
        const std::optional<float> value = EntryConversion::toSingle(texts[index], locale);
        if (!value || *value != std::floor(*value) || *value < low || *value > high)
            return refuse(index, QStringLiteral("A whole number between %1 and %2 is required!").arg(low).arg(high));
        values[index] = *value;
    }
    CoolingModel *cooling = m_model->cooling();
    if (!cooling)
        return refuse(CoolGrams1, QStringLiteral("This experiment's furnace cannot cool a charge step by step."));
    const std::optional<std::vector<CoolingStep>> steps = cooling->cool(
        {values[CoolGrams1], values[CoolGrams2], values[CoolFrom], values[CoolTo], values[CoolStep], kind});
    if (!steps || steps->empty())
        return refuse(CoolGrams1, QStringLiteral("A charge of no grams cannot be cooled!"));
    return {true, -1, {}, *steps, values[CoolStep]};
}

bool ExperimentSession::showCoolingStep(std::size_t step)
{
    CoolingModel *cooling = m_model->cooling();
    return cooling && cooling->showStep(step);
}

SessionEvent ExperimentSession::coolEvent(const CoolTexts &texts, CoolEntries::Kind kind, const CoolResult &result) const
{
    SessionEvent event{SessionEvent::Kind::Cool, this, {texts[CoolGrams1], texts[CoolGrams2], {}}, {}, {}};
    event.coolingKind = kind;
    event.steps = result.steps;
    event.coolingStep = result.step;
    return event;
}

MicroprobeReport ExperimentSession::report(ScatterSource &scatter, const QLocale &locale)
{
    const NumberFormat format(locale.decimalPoint().toStdString());
    return m_model->report(scatter, m_drawCount, format);
}

SessionEvent ExperimentSession::eventOf(const EntryTexts &entries, const RunResult &result) const
{
    switch (result.kind) {
    case RunResult::Kind::ChargeShown:
        return {SessionEvent::Kind::Run, this, entries, result.charge, {}};
    case RunResult::Kind::EntryError:
        return {SessionEvent::Kind::EntryError, this, entries, {}, {}};
    case RunResult::Kind::Aborted:
        break;
    }
    return abortEvent(entries);
}

SessionEvent ExperimentSession::abortEvent(const EntryTexts &entries) const
{
    return {SessionEvent::Kind::Abort, this, entries, {}, {}};
}

SessionEvent ExperimentSession::probeEvent(const MicroprobeReport &report) const
{
    return {SessionEvent::Kind::Probe, this, {}, {}, report};
}

QString ExperimentSession::entryErrorMessage(int entryIndex) const
{
    if (entryIndex == TemperatureEntry)
        return QStringLiteral("A value between %1 and %2 is required!")
            .arg(m_definition.lowestTemperature)
            .arg(m_definition.temperatureLimit);
    return QStringLiteral("A value between 0 and 1 is required!");
}

QString ExperimentSession::pictureName(const Charge &charge)
{
    return QString::fromStdString(charge.pictureName());
}

QString ExperimentSession::describe(const Charge &charge) const
{
    return QString::fromStdString(charge.description(m_definition.sideBCrystals));
}
