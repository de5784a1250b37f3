// SPDX-License-Identifier: MIT
#pragma once

#include "glshader.h"
#include "glshaderobject.h"

#include <memory>
#include <vector>

namespace shadekit {

// Builds programs from source texts or files, printing the compiler and linker logs, and keeps
// the programs it built. A null source or file name leaves that stage out.
class glShaderManager {
public:
    glShaderManager();
    // Forgets the programs without deleting them: their GL context may already be gone.
    ~glShaderManager() = default;
    glShaderManager(const glShaderManager &) = delete;
    glShaderManager &operator=(const glShaderManager &) = delete;

    // A linked program owning its stages, or null when a stage does not compile or the program
    // does not link; the manager keeps it until free().
    glShader *loadfromMemory(const char *vertex, const char *fragment);
    // The same with a geometry stage, built with the manager's geometry stage settings.
    glShader *loadfromMemory(const char *vertex, const char *geometry, const char *fragment);
    // The same with the sources read from files; null when a file cannot be read.
    glShader *loadfromFile(const char *vertexFile, const char *fragmentFile);
    glShader *loadfromFile(const char *vertexFile, const char *geometryFile,
                           const char *fragmentFile);

    // Deletes a program this manager built; false when it is not one of them.
    bool free(glShader *program);

    // Geometry stage settings handed to programs built with a geometry stage.
    void SetInputPrimitiveType(int type) { m_inputPrimitiveType = type; }
    void SetOutputPrimitiveType(int type) { m_outputPrimitiveType = type; }
    void SetVerticesOut(int count) { m_verticesOut = count; }

    // The programs built and not yet freed, oldest first.
    const std::vector<glShader *> &programs() const { return m_programs; }

private:
    struct Stage {
        std::unique_ptr<glShaderObject> object;
        // The source text or file name; null when the stage is left out.
        const char *input;
        // The stage's name as the diagnostics print it, in lower and in title case.
        const char *name;
        const char *title;
    };

    glShader *build(std::unique_ptr<glShader> program, std::vector<Stage> &stages, bool fromFiles,
                    bool geometry);

    std::vector<glShader *> m_programs;
    int m_inputPrimitiveType = defaultInputPrimitiveType;
    int m_outputPrimitiveType = defaultOutputPrimitiveType;
    int m_verticesOut = defaultVerticesOut;
};

} // namespace shadekit
