// Files, folders and registry keys of the tests' own making, through Windows' own APIs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh, empty folder base\name (removed first if it exists).
std::string FreshFolder(const std::string& name, const std::string& base = "C:\\qvtest");
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
// Removes a folder tree (plain recursion; links are removed, not entered).
void RemoveTree(const std::string& path);
// Deletes a registry key with everything below it.
void RemoveRegistryTree(HKEY root, const std::string& subKey);
std::string ReadRegistryText(HKEY root, const std::string& subKey, const char* valueName, bool* exists = nullptr);
// Every name in the folder except "." and "..", in search order.
std::vector<std::string> FolderNames(const std::string& folder);
