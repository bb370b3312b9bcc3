#include "experimentsession.h"

#include "entryconversion.h"

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
