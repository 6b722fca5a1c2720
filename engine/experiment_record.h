#pragma once

// The one test held in memory: the data points read from the operator's workbook,
// the entries of the three settings dialogs and everything the analysis computes.
// A plain aggregate: every part of the program reads and writes members directly.
//
// Texts are Windows-1252 byte strings exactly as the operator typed them ("µ" is 0xB5,
// "²" is 0xB2); numbers are re-read from them with LeadingNumber() at each use, because
// the significant-figure rules count the digits of the texts as typed.

#include <array>
#include <span>
#include <string>
#include <vector>

inline constexpr int MaxPoints = 5000;

// One row of test data.
struct DataPoint
{
    double Time = 0; // elapsed minutes
    double Value = 0; // µg/L after every import conversion
    double Flow = 0; // L/min; only while FlowColumnInUse, otherwise 0
};

// The test system, derived from LoopType, FlowType, Sampling and VolumeHandling
// (only the four choices are stored).
enum class SystemType {
    OpenLoopConstantFlow,
    OpenLoopVariableFlow,
    ClosedLoopContinuous,
    ClosedLoopDiscreteNotReplaced,
    ClosedLoopDiscreteReplaced,
};

// Stored as int in TestSettings::ResponseFormat; note that 1 is the dialog's third option.
enum ResponseFormat : int {
    ConcentrationMicrogramsPerLitre = 0, // "Option 1"
    CalibratedAnalyzerOutput = 1, // "Option 3"
    ConcentrationPpm = 2, // "Option 2"
};

// Stored as int in TestSettings::TimeFormat.
enum TimeFormat : int {
    TimeInMinutes = 0,
    TimeStampText = 1, // "YYYY/MM/DD HH:MM:SS"
    TimeSpreadsheetSerial = 2, // "MM/DD/YYYY HH:MM:SS ##"
};

inline constexpr int ClosedLoop = 0;
inline constexpr int OpenLoop = 1;

// Choice of Variable entries.
struct TestSettings
{
    int ResponseFormat = 0;
    int TimeFormat = 0;
    std::string CalibrationEquation; // polynomial in x giving y in µg/L
    std::string MolecularWeight; // g/mol
    int LoopType = 0; // 1 open loop, 0 closed loop
    int FlowType = 0; // open loop: 0 constant, 1 variable
    int Sampling = 0; // closed loop: 0 continuous, 1 discrete
    int VolumeHandling = 0; // closed loop, discrete: 0 not replaced, 1 replaced
    std::string FlowRate; // F, L/min; a variable flow writes the reference flow rate here
    std::string TotalVolume; // Vt, L
    std::string VolumeRemoved; // Vs, L
    std::string VolumeReplaced; // Vs (replaced), L
    std::string MinDetectableRate; // µg/(cm²·min)
    std::string MinDetectableMass; // µg/cm²
    std::string MethodDetectionLimit; // µg/mL, optional
    int ConfirmedResponseFormat = 0;
    int ConfirmedTimeFormat = 0;
    std::string ConfirmedMolecularWeight;
    std::string ConfirmedEquation;
};

// Data Input entries.
struct SpecimenInputs
{
    int AreaMode = 1; // 0 area entered, 1 diameter entered
    int DiameterUnit = 0; // 0 inch, 1 cm
    int WeightUnit = 0; // 0 grams, 1 grams/m²
    std::string AreaText; // cm²; the analysis overwrites it with the area actually used
    std::string DiameterInchText;
    std::string DiameterCmText;
    std::string DiameterCopy; // refills the dialog's Diameter field
    std::string CumulativeTimeText; // min
    std::string TargetMassText; // µg/cm²
    std::string AverageStartText; // Ti-1, min
    std::string AverageEndText; // Ti, min
    std::string SpecimenWeightText; // g or g/m² by WeightUnit
    int SteadyStateNotEstablished = 0;
};

// Additional Data Input entries: descriptive texts for the reports only.
struct ReportInfo
{
    std::string ReportTitle;
    std::string ProjectNumber;
    std::string TestDate;
    std::string Operator;
    std::string MaterialProduct;
    std::string AverageThickness; // mm
    std::string TestChemical;
    int PhysicalState = 0; // 0 liquid, 1 gas
    std::string CasNumber;
    std::string ChemicalManufacturer;
    std::string LotNumber;
    std::string ExpirationDate;
    std::string InstrumentType;
    std::string InstrumentSettings;
    std::string InstrumentId;
    std::string PumpId;
    std::string CollectionMedium;
    std::string SamplingInterval; // seconds
    std::string NominalTemperature; // degrees Celsius
    std::string TemperatureRange; // degrees Celsius
    std::string Comments;
};

// Everything the analysis computes. Breakthrough times hold -1 (level exceeded from the
// first point) or -2 (never reached); any time counts as determined only in (0, LastTime].
struct AnalysisResults
{
    int SlopeWindow = 0; // points, always 15 once analysed
    std::array<int, 7> TopIndices {}; // seven highest Values, highest first
    double HalfToNinetySlope = 0; // µg/L per min
    double SlopeThreshold = 0; // µg/L per min
    int RiseRunLength = 0;
    int RiseEndIndex = 0;
    double BestCorrelation = 0;
    int BestCorrelationIndex = 0;
    int ThresholdIndex = 0;
    double ThresholdValue = 0; // µg/L
    int BreakthroughIndex = 0;
    double BreakthroughDetectionTime = 0; // min
    double StandardizedBreakthroughTime = 0; // min, at 0.1 µg/(cm²·min)
    double NormalizedBreakthroughTime = 0; // min, at 1.0 µg/(cm²·min) or 2.5 µg/cm²
    double MinimumBreakthroughTime = 0; // min, at 0.01 µg/(cm²·min)
    int SteadyStartIndex = 0;
    int SteadyEndIndex = 0;
    double SteadySlope = 0; // µg/L per min
    double SteadyRSquared = 0;
    double TopThreeMeanValue = 0; // µg/L
    double CumulativeAtTime = 0; // µg/cm²
    double CumulativeTime = 0; // min
    int CumulativeTimeIndex = 0;
    double ElapsedTimeToTarget = 0; // min; 0 when the target is not reached
    std::string DetectionTimeText;
    std::string StandardizedTimeText;
    std::string NormalizedTimeText;
    std::string SteadyRateText;
    std::string RSquaredText;
    std::array<std::string, 3> PeakTimeTexts;
    std::string PeakTimesMeanText;
    std::string RegionStartText;
    std::string RegionEndText;
    std::string CumulativeText;
    std::string ElapsedTimeText;
    std::string AverageRateText;
};

// InputPrecision slots.
enum InputPrecisionSlot : int {
    ValueDigits = 0,
    ValueDecimals = 1,
    TimeDigits = 2,
    TimeDecimals = 3,
    FlowDigits = 4,
    FlowDecimals = 5,
};

struct ExperimentRecord
{
    // Every read-and-convert zeroes all entries, so those beyond PointCount read as 0.
    std::array<DataPoint, MaxPoints> Points {};
    int PointCount = 0;

    TestSettings Settings;
    SpecimenInputs Specimen;
    ReportInfo Report;

    std::string SourcePath; // full path of the imported workbook
    std::string SourceName; // its name without folder

    // Import working data: column detection fills the four lists, one entry per worksheet row.
    std::vector<std::string> HeaderKeywords;
    std::vector<std::string> TimeTexts;
    std::vector<std::string> AnalyzerTexts;
    std::vector<std::string> ConcentrationTexts;
    std::vector<std::string> FlowTexts;
    int SkippedRows = 0;
    int TimeColumnFound = 0;
    int AnalyzerColumnFound = 0;
    int ConcentrationColumnFound = 0;
    int FlowColumnFound = 0;
    std::string ManualAnalyzerColumn;
    std::string ManualTimeColumn;
    std::string ManualFlowColumn;

    int FlowColumnInUse = 0; // 1 when the Flow members are filled
    double ReferenceFlowRate = 0; // L/min, the flow the values of a variable flow are normalised to

    double FirstTime = 0; // min
    double LastTime = 0; // min
    // min: the first row of the time column holding a valid time, converted like every
    // time. Leading zero readings are no points, but the test ran through them.
    double TestStartTime = 0;
    double FirstValue = 0; // µg/L

    std::string ExposedAreaText; // cm², the area the calculations use

    std::array<int, 6> InputPrecision {}; // see InputPrecisionSlot
    int AreaDigits = 0;
    int AreaDecimals = 0;
    int ResultDigits = 0;
    int ResultDecimals = 0;

    AnalysisResults Results;

    bool DataInputFirstShow = false;
    bool AdditionalInputFirstShow = false;
    bool SettingsComplete = false;
    bool ResultsAvailable = false;
};

// The four stored system choices, each comparison written here once. A value outside a
// choice's listed ones matches none of its names, so the reports word nothing for it.
inline bool IsOpenLoop(const TestSettings &settings)
{
    return settings.LoopType == OpenLoop;
}
inline bool IsClosedLoop(const TestSettings &settings)
{
    return settings.LoopType == ClosedLoop;
}
inline bool IsConstantFlow(const TestSettings &settings)
{
    return settings.FlowType == 0;
}
inline bool IsVariableFlow(const TestSettings &settings)
{
    return settings.FlowType == 1;
}
inline bool IsContinuousSampling(const TestSettings &settings)
{
    return settings.Sampling == 0;
}
inline bool IsDiscreteSampling(const TestSettings &settings)
{
    return settings.Sampling == 1;
}
inline bool IsVolumeNotReplaced(const TestSettings &settings)
{
    return settings.VolumeHandling == 0;
}
inline bool IsVolumeReplaced(const TestSettings &settings)
{
    return settings.VolumeHandling == 1;
}
// Discrete samples whose volume is replaced: the only system with a minimum breakthrough time.
inline bool IsDiscreteReplaced(const TestSettings &settings)
{
    return IsDiscreteSampling(settings) && IsVolumeReplaced(settings);
}

SystemType SystemTypeOf(const TestSettings &settings);

// The first PointCount points: the only ones any calculation, graph or report may read.
inline std::span<const DataPoint> UsedPoints(const ExperimentRecord &record)
{
    const int count
        = record.PointCount < 0 ? 0 : (record.PointCount > MaxPoints ? MaxPoints : record.PointCount);
    return {record.Points.data(), static_cast<std::size_t>(count)};
}
