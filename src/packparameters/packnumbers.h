#pragma once

#include <cstdint>

// Parameter and command numbers of the units.
namespace PackNumbers {
inline constexpr std::uint8_t id = 52;
inline constexpr std::uint8_t rfPower = 55;
inline constexpr std::uint8_t micSensitivity = 56;
inline constexpr std::uint8_t sideTone = 57;
inline constexpr std::uint8_t startupVolume = 58;
inline constexpr std::uint8_t softwareVersion = 50;
inline constexpr std::uint8_t rssi = 60;
inline constexpr std::uint8_t batteryVoltage = 61;
inline constexpr std::uint8_t pttSelection = 64;
inline constexpr std::uint8_t closingCommand = 70;
inline constexpr const char *closingCommandValue = "1";
} // namespace PackNumbers

// The USB product IDs that name the two pack kinds.
namespace ProductIds {
inline constexpr const char *bodypack = "eab0";
inline constexpr const char *aircraftPack = "eab1";
} // namespace ProductIds

// Element names of the parameter files.
namespace FileElements {
inline constexpr const char *bodypackRoot = "Body_Parameters";
inline constexpr const char *aircraftPackRoot = "Aicraft_Parameters";
inline constexpr const char *id = "Unique_ID";
inline constexpr const char *rfPower = "RF_Power";
inline constexpr const char *startupVolume = "Startup_Volume";
inline constexpr const char *sideTone = "Side_Tone";
inline constexpr const char *micSensitivity = "Mic_Sensitivity";
} // namespace FileElements

inline constexpr int kIdMinimum = -32768;
inline constexpr int kIdMaximum = 32767;
inline constexpr int kByteMaximum = 255;
