// Fuzzes what a student can type: any text, in any of a range of locales,
// through the entry conversion and a whole run and report of both
// experiments. Whatever the text, an entry is either a finite number within
// its limits or takes the entry-error path; nothing crashes.
//
// Input: first byte picks the locale, the rest is UTF-8 text; newlines split
// it into the three entry boxes.

#include "analyticalscatter.h"
#include "entrylocales.h"
#include "entryconversion.h"
#include "experimentsession.h"
#include "labexperiments.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QLocale &locale = entryFuzzLocales()[data[0] % entryFuzzLocales().size()];
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                           static_cast<qsizetype>(size - 1));

    if (const std::optional<float> value = EntryConversion::toSingle(text, locale))
        check(std::isfinite(*value));

    const QStringList parts = text.split(QLatin1Char('\n'));
    const ExperimentSession::EntryTexts entries{parts.value(0), parts.value(1), parts.value(2)};
    AnalyticalScatter scatter;
    static const ExperimentList experiments = labExperiments();
    static const std::vector<Charge> pictures = Charge::catalogue();
    for (const ExperimentDefinition &definition : experiments) {
        ExperimentSession session(definition);
        const ExperimentSession::RunResult result = session.run(entries, locale);
        check(session.drawCount() >= 1 && session.drawCount() <= 3);
        if (result.kind == ExperimentSession::RunResult::Kind::ChargeShown)
            check(std::find(pictures.begin(), pictures.end(), result.charge) != pictures.end());
        const QString report = QString::fromStdString(session.report(scatter, locale).text);
        check(report.startsWith(QLatin1String("Temperature = ")) && report.endsWith(QLatin1String("\r\n")));
    }
    return 0;
}
