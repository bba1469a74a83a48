// What differs between the seven GPS gauge modules, as compile-time constants of
// the module being built. The engine is compiled once per module; the generated
// engine/module_config.h names the panel variant and everything below follows from
// it. Code tests these constants with `if constexpr`; calls into routines only some
// panels define are fenced with the TERVANE_GPS_MODEL_* macros instead, so that a
// module never references a routine its panel lacks.
#pragma once

#include <cstdint>

#include "engine/module_config.h"
#include "engine/program_file.h"

enum class GpsModel { kV1, kV2, kV3, kV4, kLearJet, kKln90b, kConcorde };

constexpr GpsModel kGpsModel = GpsModel::TERVANE_GPS_MODEL_ENUMERATOR;
constexpr const char kGaugeName[] = TERVANE_GPS_GAUGE_NAME;

constexpr bool IsModel(GpsModel a) { return kGpsModel == a; }
constexpr bool kIsV3 = IsModel(GpsModel::kV3);
constexpr bool kIsKln90b = IsModel(GpsModel::kKln90b);
constexpr bool kIsConcorde = IsModel(GpsModel::kConcorde);

// The word a running unit publishes in COM_AREA's modelCode.
constexpr int32_t kModelCode = IsModel(GpsModel::kV4) ? 4 : kIsKln90b ? 101 : kIsConcorde ? 301 : 1;

// Width declared in the gauge header, pixels.
constexpr uint32_t kDeclaredWidth = (kIsV3 || kIsKln90b)                                 ? 170
                                    : (IsModel(GpsModel::kV1) || IsModel(GpsModel::kV4)) ? 266
                                                                                         : 240;

// V2 and V4 take the wind speed variable as knots; the others convert it from
// metres per second.
constexpr bool kWindSpeedIsKnots = IsModel(GpsModel::kV2) || IsModel(GpsModel::kV4);

// A line after the 99th leg of the GPS memory file: V1 and V4 report it as line 1
// of a 100th leg and keep 99 legs counted; the others drop the 99th leg from the
// count and report line 6 of leg 99.
constexpr ExtraLineRule kGpsMemoryExtraLineRule = (IsModel(GpsModel::kV1) || IsModel(GpsModel::kV4))
                                                      ? kExtraLineStartsLeg100
                                                      : kExtraLineDropsLastLeg;

// Panels whose second element is the power-failure overlay: GaugeInit hides it and
// a power failure shows it.
constexpr bool kHasPowerOverlay = IsModel(GpsModel::kV1) || IsModel(GpsModel::kV2) ||
                                  IsModel(GpsModel::kV4) || IsModel(GpsModel::kLearJet);

// What a change of the power-failure request does to the panel.
enum class PowerChange { kOverlayAndRedraw, kRedrawOnly, kApplyUnitPower, kNever };
constexpr PowerChange kPowerChange = kHasPowerOverlay ? PowerChange::kOverlayAndRedraw
                                     : kIsV3          ? PowerChange::kRedrawOnly
                                     : kIsKln90b      ? PowerChange::kApplyUnitPower
                                                      : PowerChange::kNever;

// V3 and KLN 90B show the active leg's name on their main line while reloading and
// alternate it while the program is invalid.
constexpr bool kUsesShowName = kIsV3 || kIsKln90b;

// V3 binds the transponder code as well.
constexpr bool kBindsTransponder = kIsV3;

// Who may launch the data manager.
enum class DataManagerGate { kNone, kEntryModeTypesDigit, kUnitOnAndPowered };
constexpr DataManagerGate kDataManagerGate = kIsV3       ? DataManagerGate::kEntryModeTypesDigit
                                             : kIsKln90b ? DataManagerGate::kUnitOnAndPowered
                                                         : DataManagerGate::kNone;

// The update cycle's differences.
constexpr bool kOffWhileUnitSwitchedOff = kIsKln90b;  // KLN 90B: off state also while unitOn is 0
constexpr bool kCountsSpeedDisplay = !IsModel(GpsModel::kLearJet) && !kIsConcorde;
constexpr bool kCountsCodeEntry = kIsV3;
constexpr bool kTakesRequests = !kIsConcorde;
constexpr bool kReadsHeadingBeforePublishing = !kIsConcorde;
