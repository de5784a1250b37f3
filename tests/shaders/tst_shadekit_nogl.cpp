// SPDX-License-Identifier: MIT
// The shader library with no GL context: GLEW cannot initialise, so GLSL is unavailable and
// every operation must report failure without touching GL.
#include "glsl.h"
#include "printed.h"
#include "weavingsources.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace shadekit;

class TestShadekitNoGL : public QObject {
    Q_OBJECT
private slots:
    void supportCheckFails();
    void programReportsUnavailable();
    void managerYieldsNull();
    void load_data();
    void load();
};

void TestShadekitNoGL::supportCheckFails()
{
    bool supported = true;
    QStringList lines = printed([&] { supported = HasGLSLSupport(); });
    QVERIFY(!supported);
    QVERIFY(!useGLSL);
    QVERIFY(!extensions_init);

    // GLEW's own reason follows "Error:".
    QVERIFY(!lines.isEmpty());
    QVERIFY2(lines.takeFirst().startsWith(QLatin1String("Error:")), qPrintable(lines.join('\n')));
    const QStringList expected{
        "[WARNING] GL_ARB_fragment_shader extension is not available!",
        "[WARNING] GL_ARB_vertex_shader extension is not available!",
        "[WARNING] GL_ARB_shader_objects extension is not available!",
        "[FAILED] OpenGL Shading Language is not available...",
        "",
    };
    QCOMPARE(lines, expected);
}

void TestShadekitNoGL::programReportsUnavailable()
{
    std::unique_ptr<glShader> made;
    const QStringList lines = printed([&] { made = std::make_unique<glShader>(); });
    glShader &program = *made;
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).startsWith(QLatin1String("Error:")));
    QCOMPARE(lines.at(1), QStringLiteral("**ERROR: OpenGL Shading Language is NOT available!"));
    QCOMPARE(program.handle(), GLhandleARB(0));

    aVertexShader vertex;
    vertex.loadFromMemory(weaveVertexSource);
    QCOMPARE(vertex.type(), glShaderObject::vertexType);
    QVERIFY(!vertex.compile());
    QCOMPARE(vertex.getCompilerLog(), aGLSLStrings[GLSLNotAvailable]);
    QCOMPARE(program.getLinkerLog(), aGLSLStrings[GLSLNotAvailable]);
    QVERIFY(!program.link());

    // Without GLSL the setters fail even on a disabled program.
    QVERIFY(!program.setUniform1f(nullptr, 1.0f, 0));
    QVERIFY(!program.setUniformMatrix2fv(nullptr, 1, false, nullptr, 0));
    QVERIFY(!program.setVertexAttrib4f(0, 0.0f, 0.0f, 0.0f, 1.0f));
    program.setEnabled(false);
    QVERIFY(!program.setUniform1i(nullptr, 1, 0));
}

void TestShadekitNoGL::managerYieldsNull()
{
    glShaderManager manager;
    bool built = true;
    const QStringList lines =
        printed([&] { built = manager.loadfromMemory(weaveVertexSource, weaveFragmentSource); });
    QVERIFY(!built);
    QVERIFY(manager.programs().empty());

    // The vertex stage fails first, with the fixed text in place of a log.
    const QString header = QStringLiteral("***COMPILER ERROR (Vertex Shader):");
    const QStringList report = lines.mid(lines.indexOf(header));
    QCOMPARE(report, (QStringList{header, aGLSLStrings[GLSLNotAvailable]}));
}

void TestShadekitNoGL::load_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("expected");

    QTest::newRow("missing file") << false << QByteArray() << -1;
    QTest::newRow("empty file") << true << QByteArray() << -2;
    QTest::newRow("shader text") << true << QByteArray(weaveFragmentSource) << 0;
    QTest::newRow("one byte") << true << QByteArray("x") << 0;
}

void TestShadekitNoGL::load()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(int, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("stage.glsl")));
    if (exists) {
        QFile file(QString::fromLocal8Bit(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    aFragmentShader stage;
    stage.loadFromMemory(weaveVertexSource);
    QCOMPARE(stage.load(path.constData()), expected);
    if (expected == 0)
        QCOMPARE(QByteArray(stage.source()), content);
    else
        QCOMPARE(stage.source(), weaveVertexSource);
}

QTEST_GUILESS_MAIN(TestShadekitNoGL)
#include "tst_shadekit_nogl.moc"
