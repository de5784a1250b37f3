// SPDX-License-Identifier: MIT
// The shader library in a GL context. Wrong GL calls print "GL Error" lines, which the setter
// test checks for.
#include "glsl.h"
#include "stdoutcapture.h"
#include "weavingsources.h"

#include <QGLWidget>
#include <QtTest>

using namespace shadekit;

// Uses every uniform the setter test writes, so that none is optimised away.
constexpr const char *uniformsFragment =
    "#extension GL_EXT_gpu_shader4 : require\n"
    "uniform vec4 f4; uniform ivec4 i4; uniform uvec2 u2; uniform mat2 m2; uniform vec3 fa[2];\n"
    "void main(void) { gl_FragColor = f4 + vec4(i4) + float(u2.y) + m2[1][0] + fa[1].z; }\n";

class TestShadekit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void weavingProgram();
    void failedBuild_data();
    void failedBuild();
    void addShaderCompilesFirst();
    void setters();

private:
    QGLWidget m_widget;
};

void TestShadekit::initTestCase()
{
    m_widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_widget, 30000));
    m_widget.makeCurrent();
    QVERIFY(InitOpenGLExtensions() && useGLSL);
    // The setter test counts on a GL error being printed, once.
    StdoutCapture errors;
    glEnable(0xFFFF);
    const bool found = CheckGLError("here.cpp", 42);
    QCOMPARE(errors.lines().size(), 1);
    QVERIFY(found && !CheckGLError("here.cpp", 43));
}

void TestShadekit::weavingProgram()
{
    glShaderManager manager;
    glShader *program = manager.loadfromMemory(weaveVertexSource, weaveFragmentSource);
    QVERIFY(program);
    // The view links the built program once more.
    QVERIFY(program->link());
    // Setters on what the program lacks fail.
    const GLfloat values[16] = {};
    const auto setAll = [&] {
        return QVector<bool>{program->setUniform1f("noSuchUniform", 1.0f),
                             program->setUniform3fv("nowhere", 1, values),
                             program->setUniformMatrix4fv(nullptr, 1, false, values, -1),
                             program->setVertexAttrib1f(GLuint(-1), 1.0f)};
    };
    QCOMPARE(setAll(), QVector<bool>(4, false));
    // A disabled program ignores begin and end; the current program tells.
    const auto after = [&](bool enabled, void (glShader::*call)()) {
        program->setEnabled(enabled);
        (program->*call)();
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        return current;
    };
    const GLint handle = program->handle();
    QCOMPARE(after(true, &glShader::begin), handle);
    QCOMPARE(after(false, &glShader::end), handle);
    QCOMPARE(after(true, &glShader::end), 0);
    QCOMPARE(after(false, &glShader::begin), 0);
    // Disabled, it ignores the same setters too, which then answer true.
    QCOMPARE(setAll(), QVector<bool>(4, true));
    glShader stranger;
    QVERIFY(!manager.free(&stranger) && manager.free(program));
    QVERIFY(manager.programs().empty());
}

void TestShadekit::failedBuild_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::newRow("fragment does not compile")
        << QByteArray("void main(void) { gl_FragColor = noSuchColour; }\n");
    QTest::newRow("no main to link") << QByteArray("vec4 shade(void) { return vec4(1.0); }\n");
}

void TestShadekit::failedBuild()
{
    QFETCH(QByteArray, fragment);
    glShaderManager manager;
    QVERIFY(!manager.loadfromMemory(weaveVertexSource, fragment));
    QVERIFY(manager.programs().empty());
}

void TestShadekit::addShaderCompilesFirst()
{
    aVertexShader good;
    good.loadFromMemory(weaveVertexSource);
    aFragmentShader bad;
    bad.loadFromMemory("void main(void) { gl_FragColor = ; }\n");
    glShader program;
    program.addShader(&good);
    program.addShader(&bad);
    QVERIFY(program.link()); // with the vertex stage alone: the other was left out
}

void TestShadekit::setters()
{
    if (!bGPUShader4)
        QSKIP("The unsigned uniform needs GL_EXT_gpu_shader4");
    glShaderManager manager;
    glShader *program = manager.loadfromMemory(weaveVertexSource, uniformsFragment);
    QVERIFY(program);
    const GLfloat floats[] = {1, 2, 3, 4, 5, 6};
    const GLint ints[] = {-1, -2, -3, -4};
    const GLuint uints[] = {40000, 3000000000u};
    QVector<GLfloat> values(21);
    // One call per family kind: a GL call of the wrong kind for the uniform is a GL error.
    StdoutCapture out;
    program->begin();
    const bool done =
        program->setUniform4f(nullptr, 1, 2, 3, 4, program->GetUniformLocation("f4")) &&
        program->setUniform4iv("i4", 1, ints) && program->setUniform2uiv("u2", 1, uints) &&
        program->setUniform3fv("fa", 2, floats) &&
        program->setUniformMatrix2fv("m2", 1, true, floats) &&
        program->setVertexAttribNormalizedByte(4, 255, 0, 255, 0);
    program->end();
    for (const auto &[name, at] :
         {std::pair("f4", 0), {"i4", 4}, {"u2", 8}, {"fa[1]", 10}, {"m2", 13}})
        program->getUniformfv(name, &values[at]);
    glGetVertexAttribfvARB(4, GL_CURRENT_VERTEX_ATTRIB_ARB, &values[17]);
    QCOMPARE(out.lines(), QStringList());
    QVERIFY(done && manager.free(program));
    // f4, i4, u2, the second element of fa, m2 transposed, the normalised bytes.
    const QVector<GLfloat> expected{1, 2, 3, 4, -1, -2, -3, -4, 40000, 3000000000.0f, 4, 5,
                                    6, 1, 3, 2, 4,  1,  0,  1,  0};
    QCOMPARE(values, expected);
}

QTEST_MAIN(TestShadekit)
#include "tst_shadekit.moc"
