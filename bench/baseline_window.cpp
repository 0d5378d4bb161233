// The smallest Qt Widgets program doing the same visible work as Thermomètre: one window with
// nine text fields, six of them rewritten every 100 ms. The cost measurements compare against it.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <array>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Fenêtre de référence"));
    window.setFixedSize(925, 439);
    std::array<QLineEdit*, 9> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = new QLineEdit(&window);
        fields[i]->setGeometry(20 + static_cast<int>(i % 3) * 300,
                               20 + static_cast<int>(i / 3) * 60, 280, 40);
        fields[i]->setVisible(i < 6);
    }
    int count = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [&] {
        ++count;
        for (std::size_t i = 0; i < 6; ++i) {
            fields[i]->setText(QString::number(count * (static_cast<int>(i) + 1) % 65536));
        }
    });
    timer.start(100);
    window.show();
    return app.exec();
}
