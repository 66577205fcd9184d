#pragma once
// The kind words of the SKINCONTROLS and SKINOBJECTS lists and the piece
// classes they stand for: creating a piece from its word when a skin is read,
// and finding the word of a piece when it is written.
#include <memory>
#include <string>
#include <vector>

class TspDataSkinControl;
class TspDataSkinObject;

// A new control piece of the class the kind word names (matched exactly), or
// null for an unknown word.
std::unique_ptr<TspDataSkinControl> CreateSkinControl(const std::string& Kind, const std::string& AIDName);
std::unique_ptr<TspDataSkinObject> CreateSkinObject(const std::string& Kind, const std::string& AIDName);

// The kind word of the first class, descendants before ancestors, that the
// piece belongs to; "" when it belongs to none.
std::string SkinControlKind(const TspDataSkinControl& Control);
std::string SkinObjectKind(const TspDataSkinObject& Object);

// Every kind word, in the order a reader tests them.
const std::vector<std::string>& SkinControlKinds();
const std::vector<std::string>& SkinObjectKinds();
