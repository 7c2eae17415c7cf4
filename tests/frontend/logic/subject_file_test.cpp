// The subject file: the writer's exact text, save and load round trips, the
// reader on hostile input, saving that never loses the old file, and the
// load and save commands as the window runs them.
#include "fake_ui.h"
#include "file_size_limit.h"
#include "standard_subject_data.h"
#include "simulator.h"
#include "subject_file.h"
#include "tolvane_model.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <unistd.h>

namespace {

// The start-up subject as the writer must put it, after the two header lines.
const char* const standard_subject_body = R"sbj(// height weight age  sex
    178.0  70.0  40.0  1

// subject factors
//   0       1       2       3       4       5       6       7       8       9
   3.80    0.00    0.00    0.00 10000.00   37.00    0.00  100.00  100.00  100.00 
   0.00    0.00   14.80   31.00    0.40    0.03   20.93    0.00    5.00 3000.00 
  35.00   45.00    0.00   12.00    0.80  760.00    3.00 3000.00  100.00  100.00 
   5.00    0.00 

// display variables
//   0       1       2       3       4       5       6       7       8       9
 144.30   39.93 1987.00  347.00  102.30    4.26    0.00   23.84  474.00   47.35 
  39.90    0.99    7.22  195.30   19.54   93.18   97.13    7.40   47.35    0.72 
  19.54    0.00    0.00   52.89  677.40   56.53   52.80   18.51   10.21   29.87 
  22.70    7.33    4.95  130.70    0.00   63.00  100.00   47.25   19.65    0.80 
  12.82  461.90   25.52   51.51   45.43   13.39   34.80   76.07  967.00  570.00 
 565.00  177.60   14.39   40.00    7.37    6.06    2.36   71.41   25.52 1540.00 
  51.33  434.80   14.50    7.37 

// other variables
//   0       1       2       3       4       5       6       7       8       9
  71.08    1.00    4.60  240.00    7.40    4.00    0.00   33.60   33.29 3000.00 
   0.00    6.06   45.72    0.10  317.40    0.00    0.00    8.88    0.08  100.00 


// selected subject factors
 16 15 5 0 31 -1 -1 -1

// selected display variables
 15 10 40 52 36 35 63 63

// flags and other stuff yet to be done)sbj";

QByteArray read_all(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool write_all(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(bytes) == bytes.size();
}

class SubjectFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_standard_ = standard_subject_data();
        sim.start();
    }
    void TearDown() override
    {
        // Loads write the standard subject; later tests expect the shipped one.
        store_standard_subject(saved_standard_);
        if (sim.state().si_pressure) swap_pressure_units(false);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // A valid file whose numbers are the standard subject's.
    QByteArray standard_file() const { return QByteArray("// #001 x   today\n\n") + standard_subject_body; }

    subject_data saved_standard_;
    QTemporaryDir dir;
    fake_ui ui;
    simulator sim{ui};
};

TEST_F(SubjectFileTest, WriterProducesTheExactLayout)
{
    const QByteArray text =
        subject_text(QStringLiteral("/tmp/a b.sbj"), QStringLiteral("7/12/26 08:30"), sim.selection(), false);
    EXPECT_EQ(text, QByteArray("// #001 /tmp/a b.sbj   7/12/26 08:30\n\n") + standard_subject_body);
    EXPECT_FALSE(text.endsWith('\n'));
}

TEST_F(SubjectFileTest, HeaderStaysOneLineWhateverThePath)
{
    const QByteArray text =
        subject_text(QStringLiteral("/tmp/evil\n12 13\r.sbj"), QStringLiteral("now"), sim.selection(), false);
    EXPECT_TRUE(text.startsWith("// #001 /tmp/evil 12 13 .sbj   now\n\n// height"));
}

// Every line of a written text, line feed not counted.
int longest_line(const QByteArray& text)
{
    int longest = 0;
    for (const QByteArray& line : text.split('\n')) longest = std::max(longest, int(line.size()));
    return longest;
}

// What a value becomes after a save and a load: its text read back,
// with non-numbers saved as 0 and infinities as the largest float.
float after_round_trip(float value, const char* format = "%.2f")
{
    double saved = value;
    if (std::isnan(value)) saved = 0;
    if (std::isinf(value)) saved = value > 0 ? FLT_MAX : -FLT_MAX;
    return static_cast<float>(std::strtod(QString::asprintf(format, saved).toLatin1().constData(), nullptr));
}

TEST_F(SubjectFileTest, LongHeaderGoesOnOnCommentLinesAndStillLoads)
{
    const QString dir_path = dir.filePath(QString(120, QLatin1Char('d')));
    ASSERT_TRUE(QDir().mkpath(dir_path));
    const QString file = dir_path + QStringLiteral("/long.sbj");
    ASSERT_EQ(sim.save_subject(file).code(), save_status::ok);
    const QByteArray text = read_all(file);
    EXPECT_LE(longest_line(text), subject_line_limit);
    EXPECT_TRUE(text.startsWith("// #001 " + QFile::encodeName(file).left(91) + "\n// "));
    EXPECT_TRUE(text.contains("\n\n// height weight age  sex\n"));
    EXPECT_EQ(read_subject_file(file).status.code(), subject_read_status::ok);
}

// Extreme and broken states (huge, tiny, infinite, not a number) are saved
// in lines of at most 99 characters and load back as written.
TEST_F(SubjectFileTest, ExtremeAndNonFiniteStatesLoadBack)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::mt19937 random(12);
    std::uniform_real_distribution<float> exponent(-45.0f, 38.5f);
    std::uniform_int_distribution<int> pick(0, 9);
    const std::vector<std::function<float(int)>> states = {
        [](int) { return 3e38f; },
        [](int) { return -FLT_MAX; },
        [&](int) { return inf; },
        [&](int i) { return i % 2 ? -inf : nan; },
        [](int i) { return i % 3 ? -1.0e30f : 123456789.0f; },
        [](int) { return 1e-40f; },
        [&](int) {
            const float magnitude = std::pow(10.0f, exponent(random));
            switch (pick(random)) {
            case 0:
                return nan;
            case 1:
                return -inf;
            case 2:
                return -magnitude;
            default:
                return magnitude;
            }
        },
    };
    for (std::size_t n = 0; n < states.size() + 40; ++n) {
        const auto& value_of = states[std::min(n, states.size() - 1)];
        height.value = value_of(0);
        weight.value = value_of(1);
        age.value = value_of(2);
        for (int i = 0; i < num_fct; ++i) factor[i].value = value_of(i + 3);
        for (int i = 0; i < num_dsy - 1; ++i) display[i].value = value_of(i + 40);
        for (int i = 0; i < num_oth; ++i) other[i] = value_of(i + 110);
        const QString file = path("extreme.sbj");
        ASSERT_EQ(sim.save_subject(file).code(), save_status::ok);
        EXPECT_LE(longest_line(read_all(file)), subject_line_limit) << "state " << n;
        const subject_read_result result = read_subject_file(file);
        ASSERT_EQ(result.status.code(), subject_read_status::ok) << "state " << n;
        const subject_data& data = result.data;
        auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a == 0 && b == 0); };
        EXPECT_TRUE(same(data.weight, after_round_trip(weight.value, "%.1f"))) << "state " << n;
        for (int i = 0; i < num_fct; ++i)
            EXPECT_TRUE(same(data.factors[i], after_round_trip(factor[i].value)))
                << "state " << n << " factor " << i;
        for (int i = 0; i < num_dsy - 1; ++i)
            EXPECT_TRUE(same(data.displays[i], after_round_trip(display[i].value)))
                << "state " << n << " display " << i;
        for (int i = 0; i < num_oth; ++i)
            EXPECT_TRUE(same(data.others[i], after_round_trip(other[i]))) << "state " << n << " other " << i;
        EXPECT_EQ(data.selection.factor_sel, sim.selection().factor_sel);
    }
    load_new();
}

TEST_F(SubjectFileTest, SaveAndLoadRestoresTheStartUpSubject)
{
    ASSERT_EQ(sim.save_subject(path("start.sbj")).code(), save_status::ok);
    const QByteArray written = read_all(path("start.sbj"));
    EXPECT_TRUE(written.startsWith("// #001 " + QFile::encodeName(path("start.sbj")) + "   "));
    EXPECT_TRUE(written.endsWith(standard_subject_body));

    // Change what a load must restore, then load.
    factor[factor_id::inspired_o2].value = 50.0f;
    sim.factor_selection_changed(5, factor_id::breathing_capacity);
    sim.display_selection_changed(7, display_id::alveolar_pco2);
    sim.controller().run_to_minute();
    const subject_read_result result = sim.load_subject(path("start.sbj"));
    ASSERT_EQ(result.status.code(), subject_read_status::ok);
    EXPECT_EQ(result.corrected_indices, 0);
    EXPECT_EQ(sim.state().sim_time, 0);
    EXPECT_TRUE(sim.state().credits_shown);
    EXPECT_FLOAT_EQ(factor[factor_id::inspired_o2].value, 20.93f);
    EXPECT_FLOAT_EQ(display[display_id::alveolar_co2_amount].value, 144.3f);
    EXPECT_FLOAT_EQ(other[other_id::o2_uptake_per_step], 33.6f);
    EXPECT_FLOAT_EQ(height.value, 178.0f);
    EXPECT_EQ(sex, 1);
    EXPECT_EQ(sim.selection().factor_sel, (std::array<int, 8>{factor_id::inspired_o2, factor_id::inspired_co2,
                                                              factor_id::body_temperature, factor_id::dpg,
                                                              factor_id::work_rate, -1, -1, -1}));
    EXPECT_EQ(
        sim.selection().display_sel,
        (std::array<int, 8>{display_id::arterial_po2, display_id::arterial_pco2, display_id::respiratory_rate,
                            display_id::tissue_o2_content, display_id::metabolic_rate, display_id::heart_rate,
                            display_id::venous_ph, display_id::venous_ph}));
    EXPECT_EQ(sim.subject_name(), path("start.sbj"));
}

TEST_F(SubjectFileTest, RoundTripRoundsToTwoDecimalsAndThePassportToOne)
{
    factor[factor_id::haemoglobin].value = 13.456f;
    height.value = 181.26f;
    other[other_id::resting_o2_consumption] = 241.005f;
    ASSERT_EQ(sim.save_subject(path("r.sbj")).code(), save_status::ok);
    const subject_read_result result = read_subject_file(path("r.sbj"));
    ASSERT_EQ(result.status.code(), subject_read_status::ok);
    EXPECT_FLOAT_EQ(result.data.factors[factor_id::haemoglobin], 13.46f);
    EXPECT_FLOAT_EQ(result.data.height, 181.3f);
    EXPECT_NEAR(result.data.others[3], 241.0f, 0.0101f);
}

struct reader_case {
    const char* name;
    QByteArray text;
    subject_read_status status;
};

TEST_F(SubjectFileTest, FirstLineCheckLooksAtTheSeventhCharacterOnly)
{
    const QByteArray body = QByteArray("\n") + standard_subject_body;
    const reader_case cases[] = {
        {"standard", "// #001" + body, subject_read_status::ok},
        {"anything after", "// #001 whatever follows" + body, subject_read_status::ok},
        {"other prefix", "xxxxxx1" + body, subject_read_status::ok},
        {"seventh is 2", "// #002" + body, subject_read_status::invalid_format},
        {"short line", "// #1" + body, subject_read_status::invalid_format},
        {"empty file", "", subject_read_status::invalid_format},
        {"long first line", "// #001 " + QByteArray(5000, 'p') + body, subject_read_status::ok},
        {"only a first line", "// #001", subject_read_status::missing_numbers},
    };
    for (const reader_case& c : cases) EXPECT_EQ(read_subject_text(c.text).status.code(), c.status) << c.name;
}

// The numbers of a valid file, as text: the passport on one line, the values
// joined by separator, the row indices on a line each (lines stay short).
QByteArray numbers_joined(const char* separator, const QByteArray& sex = "1",
                          const QByteArray& factor_rows = "16 15 5 0 31 -1 -1 -1",
                          const QByteArray& display_rows = "15 10 40 52 36 35 63 63")
{
    QByteArray text = "178 70 40 " + sex;
    for (int i = 0; i < 32 + 64 + 20; ++i) text += separator + QByteArray::number(i % 7 + 1);
    return text + '\n' + factor_rows + '\n' + display_rows;
}

TEST_F(SubjectFileTest, ValuesMayBeSpreadOverLinesWithCommentsAnywhere)
{
    const subject_read_result compact = read_subject_text("// #001\n" + numbers_joined("\n"));
    ASSERT_EQ(compact.status.code(), subject_read_status::ok);
    const subject_read_result spread =
        read_subject_text("// #001\n//c\n" + numbers_joined("\n// comment 99 99\n\n") + "\n//end");
    ASSERT_EQ(spread.status.code(), subject_read_status::ok);
    const subject_read_result crlf = read_subject_text("// #001\r\n" + numbers_joined("\r\n"));
    ASSERT_EQ(crlf.status.code(), subject_read_status::ok);
    for (const subject_read_result* r : {&spread, &crlf}) {
        EXPECT_EQ(r->data.factors, compact.data.factors);
        EXPECT_EQ(r->data.displays, compact.data.displays);
        EXPECT_EQ(r->data.others, compact.data.others);
        EXPECT_EQ(r->data.selection.factor_sel, compact.data.selection.factor_sel);
    }
}

TEST_F(SubjectFileTest, SexAndIndicesTruncateTowardZeroAndStayInRange)
{
    struct index_case {
        QByteArray sex, factors, displays;
        int want_sex;
        std::array<int, 8> want_factors, want_displays;
        int corrections;
    };
    const index_case cases[] = {
        {"1.9",
         "16 15 5 0 31 -1.5 -1 -1",
         "15 10 40 52 36 35 63 63.9",
         1,
         {16, 15, 5, 0, 31, -1, -1, -1},
         {15, 10, 40, 52, 36, 35, 63, 63},
         0},
        {"0.7",
         "32 15 5 0 31 -1 -1 -1",
         "65 -1 40 52 36 35 63 64",
         0,
         {-1, 15, 5, 0, 31, -1, -1, -1},
         {64, 64, 40, 52, 36, 35, 63, 64},
         3},
        {"7",
         "16 16 1e9 -1e9 -2 3 3 31.99",
         "1e9 0 0 0 0 0 0 0",
         1,
         {16, -1, -1, -1, -1, 3, -1, 31},
         {64, 0, 0, 0, 0, 0, 0, 0},
         7},
        {"-3",
         "-1 -1 -1 -1 -1 -1 -1 -1",
         "0 0 0 0 0 0 0 0",
         0,
         {-1, -1, -1, -1, -1, -1, -1, -1},
         {0, 0, 0, 0, 0, 0, 0, 0},
         1},
    };
    for (const index_case& c : cases) {
        const subject_read_result r =
            read_subject_text("// #001\n" + numbers_joined("\n", c.sex, c.factors, c.displays));
        ASSERT_EQ(r.status.code(), subject_read_status::ok) << c.factors.constData();
        EXPECT_EQ(r.data.sex, c.want_sex) << c.sex.constData();
        EXPECT_EQ(r.data.selection.factor_sel, c.want_factors) << c.factors.constData();
        EXPECT_EQ(r.data.selection.display_sel, c.want_displays) << c.displays.constData();
        EXPECT_EQ(r.corrected_indices, c.corrections) << c.factors.constData();
    }
}

TEST_F(SubjectFileTest, WordsGlueAndOddNumbersReadLikeTheCLibrary)
{
    struct word_case {
        const char* word;
        float value;
    };
    const word_case cases[] = {
        {"12.5abc", 12.5f}, {"abc12", 0.0f}, {"-3e2x", -300.0f}, {"+.5", 0.5f}, {"5.", 5.0f},
        {"1e", 1.0f},       {"1e+", 1.0f},   {"0x10", 0.0f},     {"nan", 0.0f}, {"inf", 0.0f},
        {"-", 0.0f},        {"1,5", 1.0f},   {"1e-400", 0.0f},
    };
    for (const word_case& c : cases) {
        QByteArray text = "// #001\n" + numbers_joined("\n");
        text.replace("178 70", QByteArray(c.word) + " 70");
        const subject_read_result r = read_subject_text(text);
        ASSERT_EQ(r.status.code(), subject_read_status::ok) << c.word;
        EXPECT_FLOAT_EQ(r.data.height, c.value) << c.word;
    }
}

TEST_F(SubjectFileTest, HugeMissingAndCutNumbersRefuseTheFile)
{
    const QByteArray good = "// #001\n" + numbers_joined("\n");
    QByteArray huge = good;
    huge.replace("178 70", "1e39 70");
    QByteArray very_huge = good;
    very_huge.replace("178 70", "1e999 70");
    QByteArray long_digits = good;
    long_digits.replace("178 70", QByteArray(90, '9') + " 70");
    const reader_case cases[] = {
        {"beyond float", huge, subject_read_status::bad_number},
        {"beyond double", very_huge, subject_read_status::bad_number},
        {"90 digits", long_digits, subject_read_status::bad_number},
        {"truncated", good.left(good.size() / 2), subject_read_status::missing_numbers},
        {"last number missing", good.left(good.lastIndexOf(' ')), subject_read_status::missing_numbers},
    };
    for (const reader_case& c : cases) EXPECT_EQ(read_subject_text(c.text).status.code(), c.status) << c.name;
}

// tolvane-batch prints the reader's words after the path: each refusal
// names its own reason, and a sound file has none.
TEST_F(SubjectFileTest, EachRefusalCarriesItsOwnWords)
{
    const QByteArray good = "// #001\n" + numbers_joined("\n");
    QByteArray huge = good;
    huge.replace("178 70", "1e39 70");
    const std::pair<subject_read_result, std::string> cases[] = {
        {read_subject_file(path("none.sbj")), "cannot open subject file"},
        {read_subject_text(QByteArray("// #002\n")), "invalid subject file format (first line)"},
        {read_subject_text(QByteArray("// #001\n1 2 3\n")), "invalid subject file format (too few numbers)"},
        {read_subject_text(huge), "invalid subject file format (number out of range)"},
        {read_subject_text(good), ""},
    };
    for (const auto& [read, words] : cases) EXPECT_EQ(read.status.message(), words);
}

TEST_F(SubjectFileTest, ALineOverNinetyNineCharactersEndsTheReading)
{
    const QByteArray tail = numbers_joined("\n");
    const QByteArray line99 = QByteArray(97, ' ') + "12";   // 99 characters
    const QByteArray line100 = QByteArray(98, ' ') + "12";  // 100 characters
    EXPECT_EQ(read_subject_text("// #001\n" + line99 + "\n" + tail).status.code(), subject_read_status::ok);
    EXPECT_EQ(read_subject_text("// #001\n" + line99 + "\r\n" + tail).status.code(), subject_read_status::ok);
    EXPECT_EQ(read_subject_text("// #001\n" + line100 + "\n" + tail).status.code(),
              subject_read_status::missing_numbers);
    // A long comment line counts too; numbers after it are never read.
    EXPECT_EQ(read_subject_text("// #001\n//" + QByteArray(120, 'c') + "\n" + tail).status.code(),
              subject_read_status::missing_numbers);
}

TEST_F(SubjectFileTest, TenMegabyteLineIsRefusedWithoutReadingIt)
{
    QByteArray text = "// #001\n1 2 3 " + QByteArray(10 * 1024 * 1024, '7') + "\n" + numbers_joined("\n");
    ASSERT_TRUE(write_all(path("big.sbj"), text));
    const subject_read_result r = read_subject_file(path("big.sbj"));
    EXPECT_EQ(r.status.code(), subject_read_status::missing_numbers);
    EXPECT_EQ(r.numbers_read, 0);
}

TEST_F(SubjectFileTest, RandomBytesNeverCrashAndNeverYieldBadIndices)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 3000);
    const char alphabet[] = "0123456789 .-+eE\n\r\t/x";
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 2);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray text = round % 2 ? QByteArray("// #001\n") : QByteArray();
        const int n = length(random);
        for (int i = 0; i < n; ++i)
            text += round % 4 < 2 ? static_cast<char>(byte(random)) : alphabet[pick(random)];
        const subject_read_result r = read_subject_text(text);
        if (r.status.code() != subject_read_status::ok) continue;
        ++accepted;
        EXPECT_TRUE(r.data.sex == 0 || r.data.sex == 1);
        for (int i = 0; i < 8; ++i) {
            EXPECT_TRUE(valid_factor_selection(r.data.selection.factor_sel[i]));
            EXPECT_TRUE(valid_display_selection(r.data.selection.display_sel[i]));
        }
    }
    EXPECT_GT(accepted, 0);  // the number-alphabet rounds do reach the panels
}

TEST_F(SubjectFileTest, FailedWriteKeepsTheOldFile)
{
    const QString target = path("keep.sbj");
    ASSERT_TRUE(write_all(target, "old contents"));
    save_status status;
    {
        // Limit file sizes so that writing the new text fails halfway.
        const file_size_limit limit(100);
        ASSERT_TRUE(limit.active());
        status = sim.save_subject(target).code();
    }
    EXPECT_NE(status, save_status::ok);
    EXPECT_EQ(read_all(target), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.sbj")});
}

TEST_F(SubjectFileTest, SaveIntoMissingOrUnwritableDirectoryFails)
{
    EXPECT_EQ(sim.save_subject(path("no/such/dir/x.sbj")).code(), save_status::cannot_open);
    EXPECT_EQ(sim.save_subject(dir.path()).code(), save_status::cannot_open);
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    const QString locked = path("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(write_all(locked + "/old.sbj", "old"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(sim.save_subject(locked + "/old.sbj").code(), save_status::cannot_open);
    EXPECT_EQ(read_all(locked + "/old.sbj"), "old");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(SubjectFileTest, SaveCommandAsksBeforeOverwritingAndReportsFailure)
{
    const QString target = path("s.sbj");
    ui.save_answers.push_back(target);
    sim.save_clicked();
    ASSERT_EQ(ui.save_requests.size(), 1u);
    EXPECT_EQ(ui.save_requests[0].title, "Enter subject file name");
    EXPECT_EQ(ui.save_requests[0].file_name, "subject.sbj");
    EXPECT_TRUE(ui.questions.isEmpty());
    EXPECT_TRUE(read_all(target).endsWith(standard_subject_body));

    ASSERT_TRUE(write_all(target, "mine"));
    ui.save_answers.push_back(target);
    ui.question_answers.push_back(false);
    sim.save_clicked();
    EXPECT_EQ(ui.questions, QStringList{QStringLiteral("file exists, overwrite?")});
    EXPECT_EQ(read_all(target), "mine");

    ui.save_answers.push_back(target);
    ui.question_answers.push_back(true);
    sim.save_clicked();
    EXPECT_TRUE(read_all(target).startsWith("// #001 "));

    ui.save_answers.push_back(path("missing/x.sbj"));
    sim.save_clicked();
    EXPECT_EQ(ui.errors, QStringList{QStringLiteral("Sorry, cannot open subject file.")});
    EXPECT_TRUE(ui.caption.isEmpty());  // saving never touches the caption
}

TEST_F(SubjectFileTest, LoadCommandCancelledOrUnopenableKeepsTheRun)
{
    sim.controller().run_to_minute();
    ui.caption = "before";
    sim.load_clicked();  // cancelled
    ASSERT_EQ(ui.open_requests.size(), 1u);
    EXPECT_EQ(ui.open_requests[0].title, "Select new subject to load");
    EXPECT_EQ(ui.open_requests[0].default_extension, "sbj");
    EXPECT_EQ(ui.open_requests[0].file_name, "*.sbj");
    EXPECT_EQ(ui.caption, "before");
    EXPECT_TRUE(sim.subject_name().isEmpty());
    EXPECT_EQ(sim.state().sim_time, 60);

    sim.controller().run_to_minute();
    ui.open_answers.push_back(path("absent.sbj"));
    sim.load_clicked();
    EXPECT_EQ(ui.errors, QStringList{QStringLiteral("Sorry, cannot open subject file.")});
    EXPECT_EQ(ui.caption, "before");
    EXPECT_TRUE(sim.subject_name().isEmpty());
    EXPECT_EQ(sim.state().sim_time, 120);
    EXPECT_TRUE(sim.state().latest_time == 120);

    // The open dialog then proposes the name last chosen, also after a cancel.
    sim.load_clicked();
    sim.load_clicked();
    ASSERT_EQ(ui.open_requests.size(), 4u);
    EXPECT_EQ(ui.open_requests[2].file_name, path("absent.sbj"));
    EXPECT_EQ(ui.open_requests[3].file_name, path("absent.sbj"));
}

TEST_F(SubjectFileTest, LoadCommandRefusingAFileChangesNothing)
{
    const QByteArray good = standard_file();
    const QByteArray refused[] = {"// #002\n" + numbers_joined("\n"), good.left(good.size() / 2)};
    for (const QByteArray& text : refused) {
        ASSERT_TRUE(write_all(path("bad.sbj"), text));
        sim.controller().run_to_minute();
        const int time = sim.state().sim_time;
        const float pao2 = s_display[display_id::arterial_po2].standard;
        ui.caption = "before";
        ui.errors.clear();
        ui.open_answers.push_back(path("bad.sbj"));
        sim.load_clicked();
        EXPECT_EQ(ui.errors, QStringList{QStringLiteral("Invalid subject file format.")});
        EXPECT_EQ(sim.state().sim_time, time);
        EXPECT_EQ(ui.caption, "before");
        EXPECT_TRUE(sim.subject_name().isEmpty());
        EXPECT_FLOAT_EQ(s_display[display_id::arterial_po2].standard, pao2);
    }
}

TEST_F(SubjectFileTest, LoadCommandMakesTheFileTheStandardSubject)
{
    QByteArray text = standard_file();
    text.replace(" 20.93 ", " 15.00 ");
    text.replace(" 16 15 5 0 31 -1 -1 -1", " 16 -1 -1 -1 -1 -1 -1 2");
    ASSERT_TRUE(write_all(path("low.sbj"), text));
    ui.open_answers.push_back(path("low.sbj"));
    const int redraws = ui.redraws;
    sim.load_clicked();
    EXPECT_TRUE(ui.errors.isEmpty());
    EXPECT_EQ(ui.redraws, redraws + 2);  // the load command redraws twice
    EXPECT_FLOAT_EQ(factor[factor_id::inspired_o2].value, 15.0f);
    EXPECT_EQ(sim.selection().factor_sel,
              (std::array<int, 8>{factor_id::inspired_o2, -1, -1, -1, -1, -1, -1, factor_id::bag_co2}));
    EXPECT_EQ(sim.panels(0).factors[0].value_text, "15.00");
    // RESET restarts from the loaded subject.
    factor[factor_id::inspired_o2].value = 30.0f;
    sim.reset_clicked();
    EXPECT_FLOAT_EQ(factor[factor_id::inspired_o2].value, 15.0f);
}

}  // namespace
