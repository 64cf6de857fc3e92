#include "app/program/RegistryReader.h"

#include "sys/settings/Settings.h"

uint32_t readRegistryDword(const char* subKey, const char* valueName, uint32_t defaultValue) {
    uint32_t value = 0;
    return sys::Settings::readDword(subKey, valueName, value) ? value : defaultValue;
}

std::string readRegistryString(const char* subKey, const char* valueName, const std::string& defaultValue) {
    std::string value;
    return sys::Settings::readString(subKey, valueName, value) ? value : defaultValue;
}
