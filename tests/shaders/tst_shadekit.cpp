// SPDX-License-Identifier: MIT
// The shader library in a real GL context: building, linking and switching programs, the
// uniform and attribute setters, and the diagnostic lines they print.
#include "glsl.h"
#include "printed.h"
#include "weavingsources.h"

#include <QGLWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace shadekit;

using Setter = std::function<bool(glShader &)>;
Q_DECLARE_METATYPE(Setter)

namespace {

constexpr int viewSize = 32;

// Uses every uniform the setter tests write, so that none is optimised away.
constexpr const char *uniformsFragment =
    "uniform float f1; uniform vec2 f2; uniform vec3 f3; uniform vec4 f4;\n"
    "uniform int i1; uniform ivec2 i2; uniform ivec3 i3; uniform ivec4 i4;\n"
    "uniform mat2 m2; uniform mat3 m3; uniform mat4 m4; uniform vec3 fa[2];\n"
    "void main(void)\n"
    "{\n"
    "    float s = f1 + f2.y + f3.z + f4.w + float(i1 + i2.y + i3.z + i4.w)\n"
    "            + m2[1][0] + m3[2][2] + m4[3][3] + fa[1].z;\n"
    "    gl_FragColor = vec4(s);\n"
    "}\n";

// Unsigned uniforms, which need GL_EXT_gpu_shader4.
constexpr const char *unsignedFragment =
    "#extension GL_EXT_gpu_shader4 : require\n"
    "uniform unsigned int u1; uniform uvec2 u2;\n"
    "void main(void) { gl_FragColor = vec4(float(u1 + u2.y)); }\n";

QStringList withPrefix(const QStringList &lines, const QString &prefix)
{
    QStringList result;
    for (const QString &line : lines) {
        if (line.startsWith(prefix))
            result << line;
    }
    return result;
}

GLint currentProgram()
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

} // namespace

class TestShadekit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void startupLines();
    void checkGLError();
    void weavingProgram();
    void failedBuild_data();
    void failedBuild();
    void addShaderCompilesFirst();
    void uniformSetters_data();
    void uniformSetters();
    void unsignedFamilies();
    void unknownUniform();
    void vertexAttribs_data();
    void vertexAttribs();
    void disabledProgramIgnoresCalls();
    void loadfromFile();

private:
    std::unique_ptr<QGLWidget> m_widget;
    QStringList m_startup;
    std::unique_ptr<glShaderManager> m_manager;
};

void TestShadekit::initTestCase()
{
    m_widget = std::make_unique<QGLWidget>();
    m_widget->resize(viewSize, viewSize);
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
    m_widget->makeCurrent();

    bool initialised = false;
    m_startup = printed([&] { initialised = InitOpenGLExtensions(); });
    QVERIFY(initialised);
    QVERIFY(useGLSL);
    m_manager = std::make_unique<glShaderManager>();
}

void TestShadekit::init()
{
    m_widget->makeCurrent();
}

void TestShadekit::startupLines()
{
    const auto glText = [](GLenum name) {
        return QString::fromLatin1(reinterpret_cast<const char *>(glGetString(name)));
    };
    const QStringList expected{
        "OpenGL Vendor: " + glText(GL_VENDOR),
        "OpenGL Renderer: " + glText(GL_RENDERER),
        "OpenGL Version: " + glText(GL_VERSION),
        "",
        "OpenGL 2.0 (or higher) is available!",
        "[OK] OpenGL Shading Language is available!",
        "",
    };
    QCOMPARE(m_startup, expected);

    // Once GLEW is up, the checks answer without printing again.
    bool supported = false;
    const QStringList again = printed(
        [&] { supported = InitOpenGLExtensions() && HasGLSLSupport() && HasOpenGL2Support(); });
    QVERIFY(supported);
    QCOMPARE(again, QStringList());
}

void TestShadekit::checkGLError()
{
    bool first = false;
    bool second = true;
    const QStringList lines = printed([&] {
        glEnable(0xFFFF);
        first = CheckGLError("here.cpp", 42);
        second = CheckGLError("here.cpp", 43);
    });
    QVERIFY(first);
    QVERIFY(!second);
    QCOMPARE(lines, QStringList{"GL Error #1280(invalid enumerant)  in File here.cpp at line: 42"});
}

void TestShadekit::weavingProgram()
{
    glShader *program = nullptr;
    const QStringList built = printed(
        [&] { program = m_manager->loadfromMemory(weaveVertexSource, weaveFragmentSource); });
    QVERIFY2(program, qPrintable(built.join('\n')));
    const QStringList headers{"***GLSL Compiler Log (Vertex Shader):",
                              "***GLSL Compiler Log (Fragment Shader):", "***GLSL Linker Log:"};
    QCOMPARE(withPrefix(built, "*"), headers);
    QCOMPARE(withPrefix(built, "GL Error"), QStringList());
    QVERIFY(program->isLinked());
    QCOMPARE(m_manager->programs(), std::vector<glShader *>{program});

    // The view links the built program once more, which warns and links it again.
    bool relinked = false;
    const QStringList relink = printed([&] { relinked = program->link(); });
    QVERIFY(relinked);
    QCOMPARE(relink, QStringList{"**warning** Object is already linked, trying to link again"});
    GLsizei attached = 0;
    GLhandleARB objects[4] = {};
    glGetAttachedObjectsARB(program->handle(), 4, &attached, objects);
    QCOMPARE(attached, 2);

    program->begin();
    QCOMPARE(currentProgram(), GLint(program->handle()));
    program->end();
    QCOMPARE(currentProgram(), 0);

    glShader stranger;
    QVERIFY(!m_manager->free(&stranger));
    QVERIFY(m_manager->free(program));
    QVERIFY(m_manager->programs().empty());
}

void TestShadekit::failedBuild_data()
{
    QTest::addColumn<QString>("vertex");
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QStringList>("headers");

    const QString vertex = weaveVertexSource;
    const QString fragment = weaveFragmentSource;
    QTest::newRow("fragment does not compile")
        << vertex << "void main(void) { gl_FragColor = noSuchColour; }\n"
        << QStringList{"***GLSL Compiler Log (Vertex Shader):",
                       "***COMPILER ERROR (Fragment Shader):"};
    QTest::newRow("vertex does not compile")
        << "void main(void) { gl_Position = }\n"
        << fragment << QStringList{"***COMPILER ERROR (Vertex Shader):"};
    QTest::newRow("no main to link")
        << vertex << "vec4 shade(void) { return vec4(1.0); }\n"
        << QStringList{"***GLSL Compiler Log (Vertex Shader):",
                       "***GLSL Compiler Log (Fragment Shader):", "**linker error**",
                       "**LINKER ERROR"};
}

void TestShadekit::failedBuild()
{
    QFETCH(QString, vertex);
    QFETCH(QString, fragment);
    QFETCH(QStringList, headers);

    const QByteArray v = vertex.toLatin1();
    const QByteArray f = fragment.toLatin1();
    bool built = true;
    const QStringList lines =
        printed([&] { built = m_manager->loadfromMemory(v.constData(), f.constData()); });
    QVERIFY(!built);
    QVERIFY(m_manager->programs().empty());

    QCOMPARE(withPrefix(lines, "*"), headers);
    QCOMPARE(withPrefix(lines, "GL Error"), QStringList());
    // The failing stage's log follows its header.
    const int failed = lines.indexOf(headers.last());
    QVERIFY2(lines.size() > failed + 1, qPrintable(lines.join('\n')));
    QVERIFY(lines.at(failed + 1).contains(QLatin1String("error"), Qt::CaseInsensitive));
}

void TestShadekit::addShaderCompilesFirst()
{
    aVertexShader good;
    good.loadFromMemory(weaveVertexSource);
    aFragmentShader bad;
    bad.loadFromMemory("void main(void) { gl_FragColor = ; }\n");
    glShader program;

    const QStringList lines = printed([&] {
        program.addShader(&good);
        program.addShader(&bad);
    });
    const QStringList expected{
        "**warning** please compile program before adding object! trying to compile now...",
        "...ok!",
        "**warning** please compile program before adding object! trying to compile now...",
        "...compile ERROR!",
    };
    QCOMPARE(lines, expected);
    QVERIFY(good.isCompiled());

    // Only the compiled stage is attached; a vertex stage alone links.
    QVERIFY(program.link());
    GLsizei attached = 0;
    GLhandleARB objects[4] = {};
    glGetAttachedObjectsARB(program.handle(), 4, &attached, objects);
    QCOMPARE(attached, 1);
    QCOMPARE(objects[0], good.handle());
}

void TestShadekit::uniformSetters_data()
{
    QTest::addColumn<Setter>("set");
    QTest::addColumn<QString>("uniform");
    QTest::addColumn<QVector<float>>("expected");
    QTest::addColumn<bool>("integer");

    static const GLfloat floats[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    static const GLint ints[] = {-1, -2, -3, -4, -5, -6, -7, -8};

    QTest::newRow("1f") << Setter([](glShader &p) { return p.setUniform1f("f1", 0.5f); }) << "f1"
                        << QVector<float>{0.5f} << false;
    QTest::newRow("2f") << Setter([](glShader &p) { return p.setUniform2f("f2", 1, 2); }) << "f2"
                        << QVector<float>{1, 2} << false;
    QTest::newRow("3f") << Setter([](glShader &p) { return p.setUniform3f("f3", 1, 2, 3); }) << "f3"
                        << QVector<float>{1, 2, 3} << false;
    QTest::newRow("4f") << Setter([](glShader &p) { return p.setUniform4f("f4", 1, 2, 3, 4); })
                        << "f4" << QVector<float>{1, 2, 3, 4} << false;
    QTest::newRow("1i") << Setter([](glShader &p) { return p.setUniform1i("i1", 7); }) << "i1"
                        << QVector<float>{7} << true;
    QTest::newRow("2i") << Setter([](glShader &p) { return p.setUniform2i("i2", 7, 8); }) << "i2"
                        << QVector<float>{7, 8} << true;
    QTest::newRow("3i") << Setter([](glShader &p) { return p.setUniform3i("i3", 7, 8, 9); }) << "i3"
                        << QVector<float>{7, 8, 9} << true;
    QTest::newRow("4i") << Setter([](glShader &p) { return p.setUniform4i("i4", 6, 7, 8, 9); })
                        << "i4" << QVector<float>{6, 7, 8, 9} << true;
    QTest::newRow("2fv") << Setter([](glShader &p) { return p.setUniform2fv("f2", 1, floats); })
                         << "f2" << QVector<float>{1, 2} << false;
    QTest::newRow("3fv array, second element")
        << Setter([](glShader &p) { return p.setUniform3fv("fa", 2, floats); }) << "fa[1]"
        << QVector<float>{4, 5, 6} << false;
    QTest::newRow("4iv") << Setter([](glShader &p) { return p.setUniform4iv("i4", 1, ints); })
                         << "i4" << QVector<float>{-1, -2, -3, -4} << true;
    QTest::newRow("matrix 2 transposed")
        << Setter([](glShader &p) { return p.setUniformMatrix2fv("m2", 1, true, floats); }) << "m2"
        << QVector<float>{1, 3, 2, 4} << false;
    QTest::newRow("matrix 3") << Setter([](glShader &p) {
        return p.setUniformMatrix3fv("m3", 1, false, floats);
    }) << "m3" << QVector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}
                              << false;
    QTest::newRow("matrix 4") << Setter([](glShader &p) {
        return p.setUniformMatrix4fv("m4", 1, false, floats);
    }) << "m4" << QVector<float>(floats, floats + 16)
                              << false;
    QTest::newRow("null name uses index") << Setter([](glShader &p) {
        return p.setUniform1f(nullptr, 2.5f, p.GetUniformLocation("f1"));
    }) << "f1" << QVector<float>{2.5f} << false;
}

void TestShadekit::uniformSetters()
{
    QFETCH(Setter, set);
    QFETCH(QString, uniform);
    QFETCH(QVector<float>, expected);
    QFETCH(bool, integer);

    glShader *program = m_manager->loadfromMemory(weaveVertexSource, uniformsFragment);
    QVERIFY(program);
    const QByteArray name = uniform.toLatin1();

    bool done = false;
    QVector<float> actual(expected.size());
    const QStringList lines = printed([&] {
        program->begin();
        done = set(*program);
        program->end();
        if (integer) {
            GLint values[16] = {};
            program->getUniformiv(name.constData(), values);
            std::copy(values, values + expected.size(), actual.begin());
        } else {
            GLfloat values[16] = {};
            program->getUniformfv(name.constData(), values);
            std::copy(values, values + expected.size(), actual.begin());
        }
    });
    QVERIFY(m_manager->free(program));
    QVERIFY(done);
    // A setter that makes the wrong GL call for the uniform's type shows up as a GL error.
    QCOMPARE(lines, QStringList());
    QCOMPARE(actual, expected);
}

void TestShadekit::unsignedFamilies()
{
    if (!bGPUShader4)
        QSKIP("GL_EXT_gpu_shader4 is not available");
    glShader *program = m_manager->loadfromMemory(weaveVertexSource, unsignedFragment);
    QVERIFY(program);

    const GLuint pair[] = {40000, 3000000000u};
    GLuint single = 0;
    GLuint two[2] = {};
    GLuint attrib[4] = {};
    QVector<bool> results;
    const QStringList lines = printed([&] {
        program->begin();
        results << program->setUniform1ui("u1", 4000000000u)
                << program->setUniform2uiv("u2", 1, pair)
                << program->setVertexAttrib4ui(5, 1, 2, 3, 4000000000u);
        program->end();
        program->getUniformuiv("u1", &single);
        program->getUniformuiv("u2", two);
        glGetVertexAttribIuivEXT(5, GL_CURRENT_VERTEX_ATTRIB_ARB, attrib);
    });
    QVERIFY(m_manager->free(program));
    QCOMPARE(lines, QStringList());
    QCOMPARE(results, QVector<bool>(3, true));
    QCOMPARE(single, 4000000000u);
    QCOMPARE(two[1], 3000000000u);
    QCOMPARE(attrib[3], 4000000000u);
}

void TestShadekit::unknownUniform()
{
    glShader *program = m_manager->loadfromMemory(weaveVertexSource, uniformsFragment);
    QVERIFY(program);

    const GLfloat values[] = {1, 2, 3};
    bool scalar = true;
    bool vector = true;
    const QStringList lines = printed([&] {
        program->begin();
        scalar = program->setUniform1f("noSuchUniform", 1.0f);
        vector = program->setUniform3fv("nowhere", 1, values);
        program->end();
    });
    QVERIFY(m_manager->free(program));
    QVERIFY(!scalar);
    QVERIFY(!vector);
    const QStringList expected{"Error: can't find uniform variable \"noSuchUniform\"",
                               "Error: can't find uniform variable \"nowhere\"",
                               "can't find var nowhere"};
    QCOMPARE(lines, expected);
}

void TestShadekit::vertexAttribs_data()
{
    QTest::addColumn<Setter>("set");
    QTest::addColumn<int>("index");
    QTest::addColumn<QVector<float>>("expected");

    QTest::newRow("3f") << Setter([](glShader &p) { return p.setVertexAttrib3f(1, 1, 2, 3); }) << 1
                        << QVector<float>{1, 2, 3, 1};
    QTest::newRow("2d") << Setter([](glShader &p) { return p.setVertexAttrib2d(2, 0.5, 4); }) << 2
                        << QVector<float>{0.5f, 4, 0, 1};
    QTest::newRow("4s") << Setter([](glShader &p) { return p.setVertexAttrib4s(3, -1, 2, -3, 4); })
                        << 3 << QVector<float>{-1, 2, -3, 4};
    QTest::newRow("normalized bytes")
        << Setter([](glShader &p) { return p.setVertexAttribNormalizedByte(4, 255, 0, 255, 0); })
        << 4 << QVector<float>{1, 0, 1, 0};
}

void TestShadekit::vertexAttribs()
{
    QFETCH(Setter, set);
    QFETCH(int, index);
    QFETCH(QVector<float>, expected);

    glShader program;
    bool done = false;
    const QStringList lines = printed([&] { done = set(program); });
    QVERIFY(done);
    QCOMPARE(lines, QStringList());
    QVector<float> actual(4);
    glGetVertexAttribfvARB(GLuint(index), GL_CURRENT_VERTEX_ATTRIB_ARB, actual.data());
    QCOMPARE(actual, expected);
}

void TestShadekit::disabledProgramIgnoresCalls()
{
    glShader *other = m_manager->loadfromMemory(weaveVertexSource, weaveFragmentSource);
    glShader *program = m_manager->loadfromMemory(weaveVertexSource, uniformsFragment);
    QVERIFY(other && program);
    program->setEnabled(false);

    GLint afterBegin = -1;
    GLint afterEnd = -1;
    QVector<bool> results;
    const QStringList lines = printed([&] {
        program->begin();
        afterBegin = currentProgram();
        // end() on a disabled program leaves whatever program is current.
        other->begin();
        program->end();
        afterEnd = currentProgram();
        other->end();

        const GLfloat values[16] = {};
        results << program->setUniform1f("noSuchUniform", 1.0f)
                << program->setUniform3fv("nowhere", 1, values)
                << program->setUniform4ui("noSuchUniform", 1, 2, 3, 4)
                << program->setUniformMatrix4fv(nullptr, 1, false, values, -1)
                << program->setVertexAttrib1f(0, 1.0f) << program->setVertexAttrib4i(0, 1, 2, 3, 4);
    });
    QCOMPARE(afterBegin, 0);
    QCOMPARE(afterEnd, GLint(other->handle()));
    QCOMPARE(results, QVector<bool>(6, true));
    QCOMPARE(lines, QStringList());

    QVERIFY(m_manager->free(program));
    QVERIFY(m_manager->free(other));
}

void TestShadekit::loadfromFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&dir](const QString &name, const char *text) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return QByteArray();
        file.write(text);
        return QFile::encodeName(file.fileName());
    };
    const QByteArray vertex = write(QStringLiteral("weave.vert"), weaveVertexSource);
    const QByteArray fragment = write(QStringLiteral("weave.frag"), weaveFragmentSource);
    const QByteArray missing = QFile::encodeName(dir.filePath(QStringLiteral("none.frag")));
    QVERIFY(!vertex.isEmpty() && !fragment.isEmpty());

    bool built = true;
    const QStringList lines =
        printed([&] { built = m_manager->loadfromFile(vertex.constData(), missing.constData()); });
    QVERIFY(!built);
    QCOMPARE(lines, (QStringList{"error: can't load fragment shader!", ""}));
    QVERIFY(m_manager->programs().empty());

    glShader *program = m_manager->loadfromFile(vertex.constData(), fragment.constData());
    QVERIFY(program);
    QVERIFY(program->isLinked());
    QVERIFY(m_manager->free(program));
}

QTEST_MAIN(TestShadekit)
#include "tst_shadekit.moc"
