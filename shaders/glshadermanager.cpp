// SPDX-License-Identifier: MIT
#include "glshadermanager.h"

#include <algorithm>
#include <cstdio>

namespace shadekit {

glShaderManager::glShaderManager()
{
    InitOpenGLExtensions();
}

glShader *glShaderManager::loadfromMemory(const char *vertex, const char *fragment)
{
    auto program = std::make_unique<glShader>();
    std::vector<Stage> stages;
    stages.push_back({std::make_unique<aVertexShader>(), vertex, "vertex", "Vertex"});
    stages.push_back({std::make_unique<aFragmentShader>(), fragment, "fragment", "Fragment"});
    return build(std::move(program), stages, false, false);
}

glShader *glShaderManager::loadfromMemory(const char *vertex, const char *geometry,
                                          const char *fragment)
{
    auto program = std::make_unique<glShader>();
    std::vector<Stage> stages;
    stages.push_back({std::make_unique<aVertexShader>(), vertex, "vertex", "Vertex"});
    stages.push_back({std::make_unique<aGeometryShader>(), geometry, "geometry", "Geometry"});
    stages.push_back({std::make_unique<aFragmentShader>(), fragment, "fragment", "Fragment"});
    return build(std::move(program), stages, false, true);
}

glShader *glShaderManager::loadfromFile(const char *vertexFile, const char *fragmentFile)
{
    auto program = std::make_unique<glShader>();
    std::vector<Stage> stages;
    stages.push_back({std::make_unique<aVertexShader>(), vertexFile, "vertex", "Vertex"});
    stages.push_back({std::make_unique<aFragmentShader>(), fragmentFile, "fragment", "Fragment"});
    return build(std::move(program), stages, true, false);
}

glShader *glShaderManager::loadfromFile(const char *vertexFile, const char *geometryFile,
                                        const char *fragmentFile)
{
    auto program = std::make_unique<glShader>();
    std::vector<Stage> stages;
    stages.push_back({std::make_unique<aVertexShader>(), vertexFile, "vertex", "Vertex"});
    stages.push_back({std::make_unique<aGeometryShader>(), geometryFile, "geometry", "Geometry"});
    stages.push_back({std::make_unique<aFragmentShader>(), fragmentFile, "fragment", "Fragment"});
    return build(std::move(program), stages, true, true);
}

glShader *glShaderManager::build(std::unique_ptr<glShader> program, std::vector<Stage> &stages,
                                 bool fromFiles, bool geometry)
{
    const auto fail = [&program]() -> glShader * {
        std::printf("\n");
        // The program goes first: it detaches the stages, which the caller's vector deletes.
        program.reset();
        return nullptr;
    };

    for (Stage &stage : stages) {
        if (!stage.input)
            continue;
        if (!fromFiles) {
            stage.object->loadFromMemory(stage.input);
        } else if (stage.object->load(stage.input) != 0) {
            std::printf("error: can't load %s shader!\n", stage.name);
            return fail();
        }
    }

    for (Stage &stage : stages) {
        if (!stage.input)
            continue;
        if (!stage.object->compile()) {
            std::printf("***COMPILER ERROR (%s Shader):\n", stage.title);
            std::fputs(stage.object->getCompilerLog(), stdout);
            return fail();
        }
        std::printf("***GLSL Compiler Log (%s Shader):\n", stage.title);
        std::printf("%s\n", stage.object->getCompilerLog());
    }

    if (geometry) {
        program->useGeometryParameters(true);
        program->SetInputPrimitiveType(m_inputPrimitiveType);
        program->SetOutputPrimitiveType(m_outputPrimitiveType);
        program->SetVerticesOut(m_verticesOut);
    }
    for (Stage &stage : stages) {
        if (stage.input)
            program->addShader(stage.object.get());
    }

    if (!program->link()) {
        std::printf("**LINKER ERROR\n");
        std::fputs(program->getLinkerLog(), stdout);
        return fail();
    }
    std::printf("***GLSL Linker Log:\n");
    std::printf("%s\n", program->getLinkerLog());

    // The program now holds the stages it uses; those left out go with the vector.
    program->m_ownsObjects = true;
    for (Stage &stage : stages) {
        if (stage.input)
            stage.object.release();
    }
    m_programs.push_back(program.release());
    return m_programs.back();
}

bool glShaderManager::free(glShader *program)
{
    const auto found = std::find(m_programs.begin(), m_programs.end(), program);
    if (found == m_programs.end())
        return false;
    m_programs.erase(found);
    delete program;
    return true;
}

} // namespace shadekit
