#pragma once

#include <QObject>
#include <QString>
#include <memory>

class TFAbout;

// Non-visual component that a form holds to show its about dialog: it keeps the product
// name, version and notice line and hands them to a fresh TFAbout each time it is shown.
class TAboutBox : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ProductName READ productName WRITE setProductName NOTIFY productNameChanged)
    Q_PROPERTY(QString Version READ version WRITE setVersion NOTIFY versionChanged)
    Q_PROPERTY(QString Copyright READ copyright WRITE setCopyright NOTIFY copyrightChanged)

public:
    // Longest text a property keeps, in characters; longer text is cut.
    static constexpr int MaxTextLength = 100;

    explicit TAboutBox(QObject* owner = nullptr);
    ~TAboutBox() override;

    QString productName() const { return productName_; }
    QString version() const { return version_; }
    QString copyright() const { return copyright_; }

public slots:
    void setProductName(const QString& productName);
    void setVersion(const QString& version);
    void setCopyright(const QString& copyright);

    // Shows the about dialog modally and returns once the user has closed it. A dialog that
    // cannot be made costs an alert sound and nothing more. A component of another look may show
    // a dialog of its own.
    virtual void ShowDialog();

signals:
    void productNameChanged(const QString& productName);
    void versionChanged(const QString& version);
    void copyrightChanged(const QString& copyright);

protected:
    // Makes the dialog; each call gives a new one that reads the machine afresh.
    virtual std::unique_ptr<TFAbout> createDialog() const;

private:
    QString productName_;
    QString version_;
    QString copyright_;
};
