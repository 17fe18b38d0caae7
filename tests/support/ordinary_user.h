#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// File permissions do not bind the administrator, and the tests run as root in CI. These run a
// piece of a test as an ordinary user instead, in a child process, so the test's own process
// keeps its rights.
namespace tvx::test {

// Hands the folder and everything in it to the user AsOrdinaryUser runs as (nothing to do when
// the tests do not run as root).
void HandToOrdinaryUser(const std::filesystem::path& folder);

// Runs body in a forked child as an ordinary user: as root the child takes the ids of "nobody",
// any other user stays itself. Answers what body returned (a child that did not finish answers
// so), or nothing when no ordinary user can be had (root and no "nobody" account). body must not
// use gtest's assertions; it reports in its answer.
std::optional<std::string> AsOrdinaryUser(const std::function<std::string()>& body);

}  // namespace tvx::test
