// The writers behind createFileWriter, each over an opened target.
#pragma once

#include "image/file_target.h"
#include "image/image_file.h"

namespace tarnwick {

std::unique_ptr<ImageFileWriter> singlePageWriter(std::unique_ptr<FileTarget> target,
                                                  const FileRecipe& recipe);
std::unique_ptr<ImageFileWriter> tiffWriter(std::unique_ptr<FileTarget> target,
                                            const FileRecipe& recipe);
std::unique_ptr<ImageFileWriter> pdfWriter(std::unique_ptr<FileTarget> target,
                                           const FileRecipe& recipe);

}  // namespace tarnwick
