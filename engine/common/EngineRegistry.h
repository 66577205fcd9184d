#pragma once
// The engine's own plug-ins by name: its video filters (spliced into filter
// chains as frame stages), its capture sources and its file protocol. FFmpeg
// 5.1 no longer takes plug-ins from a program, so the engine keeps them and
// looks its names up before asking the libraries. A second registration of a
// name (compared case-sensitively) is ignored.
#include <string>
#include <vector>

struct AVClass;

enum TEngineComponentKind { ekFilter, ekInputFormat, ekProtocol };

// False when a component of that kind and name exists already.
bool RegisterEngineComponent(TEngineComponentKind AKind, const std::string& AName, const void* ARecord);
// The record registered under the name, or null.
const void* FindEngineComponent(TEngineComponentKind AKind, const std::string& AName);
// How many components of a kind are registered.
int EngineComponentCount(TEngineComponentKind AKind);
// Every record of a kind, in name order.
std::vector<const void*> EngineComponents(TEngineComponentKind AKind);

template <typename T>
bool RegisterFilter(const T* ARecord) { return RegisterEngineComponent(ekFilter, ARecord->Name, ARecord); }
template <typename T>
bool RegisterInputFormat(const T* ARecord) { return RegisterEngineComponent(ekInputFormat, ARecord->Name, ARecord); }
template <typename T>
bool RegisterURLProtocol(const T* ARecord) { return RegisterEngineComponent(ekProtocol, ARecord->Name, ARecord); }

// The class name of a context whose first field points to its AVClass.
const char* DefaultItemName(void* AContext);
