#pragma once

#include "AutoJoinJob.h"
#include "Canvas.h"
#include "CanvasSnapshot.h"
#include "ClipFileLedger.h"
#include "ColorRef.h"
#include "FilterBackup.h"
#include "ImageCache.h"
#include "ImageCodec.h"
#include "ImageEditBuffer.h"
#include "JoinCodes.h"
#include "JoinPicture.h"
#include "JoinSaveJob.h"
#include "OutputPicture.h"
#include "PaintRecord.h"
#include "PixelJob.h"
#include "PrintInfoBlock.h"
#include "ProgressMeter.h"
#include "RenditionCache.h"
#include "RulerSet.h"
#include "RulerTable.h"
#include "SettingsBlock.h"
#include "TrimLine.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <functional>
#include <optional>

class OraProject;
class QPainter;

// The joining engine: owns every picture on the canvas, the output picture,
// the trim line, the ruler tables and the data files. Windows and dialogs call
// its operations and never reach into its state. The state lives in small
// owned parts (Canvas, TrimLine, OutputPicture, FilterBackup, PaintRecord,
// RulerSet, SettingsBlock, PrintInfoBlock and the two caches); the engine
// ties them together and reports what goes wrong through errorOccurred.
//
// All operations run on the user-interface thread. Pictures are held as file
// paths; decoded pixels live only in the caches, which are keyed by the file's
// identity, so a file that has not changed is never decoded twice.
class CImgJoinEngine : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxPictures = Canvas::MaxPictures;

    // Settings identifiers.
    static constexpr int SettingJoinDir = 102;
    static constexpr int SettingPhotoDir = 103;
    static constexpr int SettingMusicDir = 104;

    // Fixed colours (0x00BBGGRR).
    static constexpr ColorRef WindowBackColor = 0xDEDEDE;
    static constexpr ColorRef HandleTopLeftColor = 0x0000FF;
    static constexpr ColorRef HandleBottomRightColor = 0xFFFF00;
    static constexpr ColorRef TrimDotColorA = 0x1313E9;
    static constexpr ColorRef TrimDotColorB = 0xE9E913;

    explicit CImgJoinEngine(QObject* parent = nullptr);
    ~CImgJoinEngine() override;

    // --- state and picture records -------------------------------------
    void SetDataDir(const QString& dir);
    QString dataDir() const { return m_dataDir; }
    QString tempDir() const; // <data dir>/rvAZTemp
    bool ensureTempDir();    // creates the folder when missing
    QString settingsFile() const { return m_settingsFile; }
    QString printInfoFile() const { return m_printInfoFile; }

    // Puts a record for the file on the canvas as it is; the file is read
    // when the picture is first drawn (data files, tests).
    void AddPicture(const QString& path);
    // Adds a picture the user chose: the file is decoded first, and one that
    // cannot be read whole is reported and not added. The decoded picture
    // stays cached for the first paint. Returns whether it was added.
    bool LoadPicture(const QString& path);
    void ClearPictures();
    int GetPictureCount() const { return m_canvas.count(); }
    int HasCurrentPicture() const;
    int NeedsSplash(DisplayMode viewMode) const;
    int EnterOutputMode(DisplayMode viewMode);
    void RestoreOutputPicture();
    QString GetOutputFile() const { return m_output.file(); }
    bool CopyOutputPicture(const QString& destination);
    // Writes the output picture to destination in the format the text names
    // (read as formatForSuffix reads a suffix). A file already in that format
    // is copied byte for byte; any other is decoded and encoded anew.
    bool SaveOutputPicture(const QString& destination, const QString& format);
    ColorRef GetRulerBackColor() const { return m_rulerBackColor; }
    int BkColorDlgOpen(int code);

    // Read-only views of the state, for the windows and the tests.
    const JoinPicture& picture(int index) const { return m_canvas.at(index); }
    int currentPicture() const { return m_canvas.currentIndex(); }
    float canvasZoom() const { return m_canvas.zoom(); }
    QPoint canvasOrigin() const { return m_canvas.origin(); }
    // 0 left, 1 right, 2 top, 3 bottom
    QRect handleRect(int index) const { return m_paint.handle(index); }
    QRect drawnRect() const { return m_paint.drawn(); }
    bool drawnValid() const { return m_paint.drawnValid(); }
    QRect trimKeptRect() const { return m_trimLine.kept(); }
    TrimMode trimMode() const { return m_trimLine.mode(); }
    QPoint trimStored() const { return m_trimLine.stored(); }
    bool hotTransparent() const { return m_canvas.hotTransparent(); }
    QString outputOrigFile() const { return m_output.originalFile(); }
    QPoint outputPos() const { return m_output.position(); }
    float outputZoom() const { return m_output.zoom(); }
    bool outputFitted() const { return m_output.fitted(); }
    int clipSeq() const { return m_clipSeq; }
    DisplayMode viewMode() const { return m_viewMode; }
    int filterStep() const { return m_filterSettings.step; }
    QRect clientRect() const { return m_canvas.clientRect(); }

    // Whether a picture job runs between begin... and end...; while it
    // does, the operations that change pictures are refused and reported.
    bool isBusy() const { return m_busy; }

    // Puts the canvas mapping directly (command-line tool, tests).
    void setCanvasMapping(float zoom, int originX, int originY);
    // Places a picture record directly (command-line tool, tests): the
    // picture is added as by AddPicture and then given this box.
    bool addPlacedPicture(const QString& path, int x, int y, int width = 0, int height = 0,
                          float angle = 0.0f);

    // Decodes these files ahead, on all cores, so that the coming paint or
    // join finds them decoded; unreadable files are reported when used.
    void PreloadPictures(const QStringList& files);
    // Why a picture file cannot be read; empty when it can. The decoded
    // picture stays cached for the coming paint or join.
    QString PictureReadError(const QString& file);
    // Why a picture file cannot be read, judged from its header only; empty
    // when the header is good.
    QString PictureHeaderError(const QString& file);
    // Forgets every decoded picture and rendition, as after files changed.
    void ForgetDecodedPictures();
    // Forgets the scaled and turned renditions only, so the next paint makes them anew.
    void ForgetRenditions();
    // How many files have been decoded so far (each file once while it is
    // unchanged and cached; a join reads each picture it does not find
    // cached once).
    int decodeCount() const { return m_imageCache.decodeCount() + m_filesDecodedByJoins; }
    // Memory the decoded pictures may take together.
    void SetPictureMemoryBudget(qint64 bytes) { m_imageCache.setBudget(bytes); }
    qint64 PictureMemoryBudget() const { return m_imageCache.budget(); }
    // The output picture's pixels; a null image, reported, when it cannot be read.
    QImage GetOutputImage();

    // --- loading and drawing -------------------------------------------
    void SetHotTransparent(int flag);
    void SetClientRect(int left, int top, int right, int bottom);
    void DrawPictures(QPainter& painter, DisplayMode viewMode);
    void DrawOutputPicture(QPainter& painter);
    void PrintOutputPicture(QPainter& painter);
    void Zoom(ZoomCode code, ZoomTarget target);
    // Zooms the canvas and keeps the drawing point under this view point
    // where it is (In, Out and 1:1); Fit fits the drawing as Zoom does.
    void ZoomAt(ZoomCode code, const QPoint& viewPoint);
    void MoveOutputPicture(int dx, int dy);
    // Zooms the canvas or the output picture by factor about a view point:
    // what lies under the point stays there. Returns whether the zoom changed.
    bool ZoomAbout(double factor, int x, int y, ZoomTarget target);
    // Slides the canvas or the output picture across the view by a distance
    // in view pixels; the pictures keep their canvas positions.
    void ScrollView(int dx, int dy, ZoomTarget target);
    // The canvas point, in canvas units, under a view point.
    QPointF CanvasPointAt(const QPointF& viewPoint) const;
    // The view box of the current picture's unrotated box; empty without one.
    QRect CurrentScreenBox() const;
    // Makes a picture file the output picture, fitted at the next paint;
    // false, and reported, when it cannot be read.
    bool OpenOutputPicture(const QString& file);
    int FindImageEncoder(const QString& mimeType) const;

    // --- geometry ----------------------------------------------------------
    // Moves the current picture (whole 0) or the whole drawing (whole 1) by
    // a distance on the view; the picture moves by the canvas units that
    // distance spans at the canvas zoom.
    void MovePicture(int dx, int dy, int whole);
    GrabHandle HitTestHandle(int x, int y) const;
    // Drags a handle from one view point to another: the edge moves by the
    // canvas units the drag spans at the canvas zoom.
    void StretchPicture(int x0, int y0, int x1, int y1, GrabHandle handle);
    void ModifyCurrentPicture(ModifyCode code);
    // The current picture's record as MovePicture (whole 0) or
    // StretchPicture with these arguments would leave it; the records stay
    // as they are, so a view can show a drag before its release applies it.
    // False without a current picture.
    bool MovedCurrentPicture(int dx, int dy, JoinPicture& result) const;
    bool StretchedCurrentPicture(int x0, int y0, int x1, int y1, GrabHandle handle,
                                 JoinPicture& result) const;
    // The view box of a picture record at the canvas mapping.
    QRect ScreenBoxOf(const JoinPicture& picture) const { return screenBox(picture); }
    // Draws the canvas as DrawPictures does, leaving one picture (and its
    // handles) out: the ground a dragged picture moves over.
    void DrawPicturesExcept(QPainter& painter, DisplayMode viewMode, int skipped);
    // Draws a picture record, not necessarily the stored one, at its view box.
    void DrawPreviewPicture(QPainter& painter, const JoinPicture& placed);
    int ReorderPicture(LayerCode code);

    // --- trimming and joining -----------------------------------------------
    bool TrimByWindow(int left, int top, int right, int bottom, DisplayMode viewMode);
    // Cuts the current picture to a window on the view; an edge of the
    // window on an edge of the picture's view box keeps that picture edge.
    QString ClipCurrentPicture(int left, int top, int right, int bottom);
    void SetTrimLine(int x, int y, TrimMode mode);
    int GetTrimLineShown(QPoint& point, TrimMode& mode) const;
    void ClearTrimLine() { m_trimLine.clear(); }
    int IsTrimCut() const { return m_trimLine.cut() ? 1 : 0; }
    bool TrimByTrimLine();

    // Composes every picture in layer order at canvas scale. Pictures the
    // view has decoded are shared; the others are read from their files band
    // by band, so that besides the joined picture only the pictures a band
    // of rows crosses are held. A picture that cannot be read any more fails
    // the whole join (reported): a drawing with a hole is not what the user
    // asked for. The result is Format_RGB32 when unturned opaque pictures
    // cover it whole, otherwise Format_ARGB32_Premultiplied with what no
    // picture covers transparent.
    QImage RenderJoinedPicture();
    // Composes and writes the joined picture; the encoder follows the format
    // text. A PNG file is composed and compressed band by band and the joined
    // picture is never held whole.
    bool SaveJoinedPicture(const QString& format, const QString& path);
    // The same in three steps (see beginFilter): beginJoinSave and
    // endJoinSave on the user-interface thread, JoinSaveJob::run on any.
    JoinSaveJob beginJoinSave(const QString& format, const QString& path);
    bool endJoinSave(const JoinSaveJob& job);
    // The encoding half of SaveJoinedPicture. It touches no engine state, so
    // it may run on a worker thread while the window stays responsive.
    static IoStatus WriteJoinedPicture(const QImage& joined, const QString& format,
                                       const QString& path);

    // --- screen captures ------------------------------------------------------
    // Writes a capture of the screen into a file of its own in the temporary
    // folder, so earlier captures keep their pictures, and makes it a new
    // canvas picture; in print-output mode it becomes the output picture and
    // the picture "restore" returns to, at the output's zoom and position.
    // Returns the file; empty, and reported, when it cannot be written.
    QString CaptureScreen(const QImage& screen);
    // The file the next capture goes to: the first capture's fixed name, then
    // the same name with a running number; never a file that is there.
    QString nextCaptureName() const;

    // --- camera photos ----------------------------------------------------------
    // Decodes a grabbed camera frame and writes it as a photo in the format
    // the text names ("BMP", "JPG", "PNG" or "GIF", in any case). Nothing is
    // reported here: the camera dialog tells the user why a photo failed.
    static IoStatus SaveCapturedFrame(const QString& format, const QString& source,
                                      const QString& destination);
    // Copies a photo into a file of its own in the temporary folder, so a
    // later photo of the same name leaves it alone, and makes it a new canvas
    // picture, or in print-output mode the output picture, as a screen
    // capture does. Returns the copy; empty, and reported, on failure.
    QString AddCameraPhoto(const QString& photo);

    // --- automatic joining ------------------------------------------------------
    // Arranges every picture on the canvas as overlapping captures of one
    // drawing, in three steps like a filter (beginFilter): beginAutoJoin and
    // endAutoJoin on the user-interface thread, AutoJoinJob::run anywhere in
    // between. endAutoJoin points each placed picture at its clip file (the
    // drawing area the captures share, cut as a trim window cuts), puts it at
    // its place and makes all of it one undo step; pictures left out stay as
    // they were. A cancelled job changes nothing. Returns whether the records
    // changed; an invalid job (fewer than two pictures, reported) does nothing.
    AutoJoinJob beginAutoJoin();
    // The same for some pictures only (canvas indices, such as a set just
    // dropped on the canvas); the others stay as they are.
    AutoJoinJob beginAutoJoin(const QList<int>& pictures);
    bool endAutoJoin(const AutoJoinJob& job);
    // What an arrangement did, in words for the status bar: how many
    // pictures were placed and which were left out.
    static QString AutoJoinSummary(const AutoJoinJob& job);

    struct AlignOutcome
    {
        bool moved = false;
        QPoint distance; // canvas units the picture moved
        double confidence = 0.0;
        QString message; // for the status bar, also when nothing moved
    };
    // Moves the current picture to where it matches the pictures below it
    // exactly, looking only within searchBox (canvas units, usually what the
    // view shows). One undo step. Finding no match is no error: the picture
    // stays and the message says why.
    AlignOutcome AutoAlignCurrentPicture(const QRect& searchBox);

    // --- project files ---------------------------------------------------------
    // Writes the canvas (every picture at its own resolution, its place, box
    // and turn, the layer order, the current picture, the view mapping, the
    // trim line and the ruler tables) as an OpenRaster project. The file is
    // replaced only once the whole project is written: on failure, reported,
    // an earlier file at path stays as it was. Marks the canvas saved.
    bool SaveProject(const QString& path);
    // Replaces the canvas by a project file; its pictures are taken out into
    // the temporary folder. The file is checked whole first: on any failure,
    // reported, the canvas, the undo steps and the trim line stay as they
    // were. The undo steps are dropped and the canvas counts as saved.
    bool OpenProject(const QString& path);
    // Empties the canvas and the trim line, drops the undo steps and counts
    // the empty canvas as saved.
    void NewCanvas();

    // --- data files ----------------------------------------------------------
    void LoadSettings();
    QString GetSettingString(int id) const;
    bool SetSettingString(int id, const QString& value);
    char HotKeyLetter(char letter);
    int HasPendingPrintImage();
    int TakePendingPrintImage();
    int StitchTiles(const QString& stem, const QString& destination, int rows, int columns,
                    const QString& format);
    int DeleteTempFiles();
    const SettingsBlock& settings() const { return m_settings; }
    const PrintInfoBlock& printInfo() const { return m_printInfo; }

    // --- ruler line tables ----------------------------------------------------
    int GridTableTarget(int id);
    float ScaleRuler(RulerScaleCode code);
    int LayoutRuler(RulerTableId table, int lo, int hi, int offset);
    int GetRulerLineCount(RulerTableId table) const;
    int GetRulerLine(RulerTableId table, int i, int& tickLen, int& pos, ColorRef& colour,
                     QString& name) const;
    int SumRulerSpacing(RulerTableId table, int from, int to) const;
    QString GetRulerCellText(int row, int col) const;
    void SetRulerCell(int row, int col, const QString& text);
    void SetRulerSpacingAll(int spacing);
    void RecolourRulerLines();
    void InsertDeleteRulerRow(int op, int row);
    float rulerScale() const { return m_rulers.scale(); }
    const RulerTable* rulerTable(RulerTableId table) const;

    // --- pixel filters -------------------------------------------------------
    // A filter renders the current picture as the canvas shows it (its box
    // and its turn), changes the pixels, writes a new temporary file and
    // points the record at it. One undo level keeps the record as it was;
    // it belongs to the picture it came from and does nothing once that
    // picture has left the canvas. A result that cannot be written leaves
    // the record as it was and is reported. Returns whether the record changed.
    bool ApplyFilter(FilterCode code);
    // The same in three steps, so that the middle one can run on a worker:
    // beginFilter and endFilter on the user-interface thread, PixelJob::run
    // anywhere in between. No other engine operation may run meanwhile.
    PixelJob beginFilter(FilterCode code);
    bool endFilter(const PixelJob& job);
    // The state character of the undo copy: a space when there is nothing to
    // undo (also once its picture is gone).
    char HasFilterUndo() const;
    void UndoFilter();
    // Colour and exclusive bounds of the next background replacement (301).
    void SetBkColorReplace(ColorRef colour, uchar loR, uchar hiR, uchar loG, uchar hiG, uchar loB,
                           uchar hiB);
    const JoinPicture& filterBackup() const { return m_filterBackup.backup(); }

    // --- brush editing -------------------------------------------------------
    // The picture-edit dialog paints on a window of the current picture as
    // the canvas shows it (box and turn applied) at 1:1. Moving the window
    // and ending the edit write the edits into one of the two edit files of
    // the temporary folder, taken in turn, which the record then shows
    // unturned; a file that cannot be written leaves the record as it was
    // and is reported. All edits of one opening make one undo step.
    // Begins editing with the window at the picture's top-left; false, with
    // an empty window, without a picture that can be read.
    bool BeginImageEdit(const QRect& area);
    // Saves the edits and moves the window one step; false when the window
    // cannot move that way or the edits could not be saved.
    bool ScrollImageEdit(EditScroll step);
    bool CanScrollImageEdit(EditScroll step) const { return m_imageEdit.canScroll(step); }
    // Writes the window's edits into the picture; false when nothing was
    // written (no edits, or a failure, reported).
    bool SaveImageEdit();
    // Saves and closes the edit.
    void EndImageEdit();
    ImageEditBuffer& imageEdit() { return m_imageEdit; }
    // The two files edits are written to in turn, for a picture suffix.
    QStringList imageEditFiles(const QString& suffix) const;

    // --- print-output jobs ---------------------------------------------------
    // Processes the output picture for a printer (jobs 99, 100, 101, 109) into
    // one of two temporary files taken in turn; that file becomes the output
    // picture. A picture that cannot be read or a result that cannot be
    // written leaves the output picture as it was and is reported.
    bool ProcessOutputPicture(OutputJob job);
    // The same in three steps (see beginFilter).
    PixelJob beginOutputJob(OutputJob job);
    bool endOutputJob(const PixelJob& job);
    // "%d/100" of the running job, empty before its first row; safe to call
    // from any thread.
    QString GetProgressText() const { return m_progress.text(); }
    // Hears each rise of the running job's percentage, on the job's threads.
    // Set it only while no job runs.
    void setProgressObserver(std::function<void(int)> observer);

    // --- undo and redo of canvas edits ---------------------------------------
    // Every edit of the picture records (adding, deleting, moving, nudging,
    // stretching, turning, layering, cuts, filters) is one step on this
    // stack; moves and nudges of one picture in a row make one step. A clip
    // file stays on disk while a step can reach it or the canvas shows it.
    static constexpr int UndoLimit = 100;
    QUndoStack& undoStack() { return m_undoStack; }
    // Undo and redo one step; refused, and reported, while a picture job runs.
    bool Undo();
    bool Redo();
    CanvasSnapshot snapshot() const;
    // Whether the canvas changed since it was last saved (as a project or as
    // a joined picture) or since it was opened or emptied.
    // An empty canvas holds nothing to lose.
    bool CanvasModified() const { return !m_undoStack.isClean() && !m_canvas.isEmpty(); }
    // The canvas as it is now counts as saved.
    void MarkCanvasSaved() { m_undoStack.setClean(); }

signals:
    // A failure the user should hear about (a picture that cannot be read, a
    // result that cannot be written). The state stays as it was.
    void errorOccurred(const QString& message);

private:
    JoinPicture* current() { return m_canvas.current(); }
    void report(const QString& message);
    // True, and reported, while a picture job runs.
    bool refusedWhileBusy();
    bool measure(JoinPicture& picture);
    QRect screenBox(const JoinPicture& picture) const { return m_canvas.screenBox(picture); }
    QPoint trimLineScreen() const;
    void DrawPicture(QPainter& painter, int index);
    void DrawPictureTransparent(QPainter& painter, int index);
    void DrawPictureTrimmed(QPainter& painter, int index);
    void drawHandles(QPainter& painter) const;
    void drawTrimLine(QPainter& painter);
    // A rendition to blit and where its top-left lies inside the box.
    struct BoxImage
    {
        QImage image;
        QPoint offset;
    };
    ImageCache::Entry load(JoinPicture& picture);
    // The canvas of the joined picture and its pictures; false (reported
    // when too large) when there is nothing to join.
    bool joinLayers(QSize& canvas, QList<BandComposer::Layer>& layers);
    // Loads picture index, computes its screen box, sets the handles when
    // asked and widens the drawn bounds: what every way of drawing does first.
    ImageCache::Entry beginDraw(int index, bool withHandles, QRect& box);
    BoxImage boxImage(const ImageCache::Entry& entry, RenditionCache::Kind kind, const QSize& size,
                      float angle, const QRect& visible);
    // Makes the renditions the coming paint lacks, on all cores.
    void prepareRenditions(const QRect& clip);
    bool trimOutputPicture(int left, int top, int right, int bottom);
    // Cuts the current picture to a box given in its own units, from its
    // top-left corner; what lies beyond the picture stays transparent.
    QString clipCurrentBox(qint64 n, qint64 o, qint64 cw, qint64 ch);
    bool writeResult(const QImage& image, const QString& path, ImageCodec::Format format);
    QString nextClipName(const QString& suffix);
    bool writeSettings();
    bool rememberResult(const PixelJob& job);
    void addPictureRecord(const QString& path);
    // Puts the records back as a step found or left them.
    void restore(const CanvasSnapshot& state);
    // Pushes a step from before to the records as they are now; nothing when
    // the records did not change.
    void recordEdit(const QString& text, const CanvasSnapshot& before, int mergeId = -1);
    bool isClipFile(const QString& file) const;
    // The canvas as a project, rendered and encoded; false, reported, when
    // a picture cannot be read.
    bool collectProject(OraProject& project, const QString& path);
    // The picture file as PNG bytes: a PNG file as it is, any other decoded
    // and encoded.
    IoResult<QByteArray> pictureAsPng(const QString& file);
    // A clip file name in the temporary folder that no file takes yet.
    QString unusedClipName(const QString& suffix);
    // Makes a new file in the temporary folder a new canvas picture, or in
    // print-output mode the output picture, as a capture or a photo comes in.
    // Refused, and reported, while a job runs or when the canvas is full;
    // otherwise the folder is made and writeFile puts the file into it,
    // returning its path, or empty once it has reported why it could not.
    // Returns the file; empty on failure.
    QString addTempPicture(const std::function<QString()>& writeFile);
    bool clipFileInUse(const QString& file) const;
    // The current picture drawn into its box as the canvas shows it; null,
    // reported, when it cannot be read.
    QImage renderForEdit(JoinPicture& picture);

    // data directory and files
    QString m_dataDir;
    QString m_printInfoFile;
    QString m_settingsFile;
    PrintInfoBlock m_printInfo;
    SettingsBlock m_settings;

    Canvas m_canvas;
    PaintRecord m_paint;
    TrimLine m_trimLine;
    OutputPicture m_output;
    RulerSet m_rulers;
    FilterBackup m_filterBackup;
    PixelRules::FilterSettings m_filterSettings; // posterise step, background replacement
    ImageCache m_imageCache;
    RenditionCache m_renditionCache;
    ProgressMeter m_progress;
    int m_filesDecodedByJoins = 0;

    ColorRef m_rulerBackColor = 0xDEDEDE;
    DisplayMode m_viewMode = DisplayMode::Undecided;
    int m_clipSeq = 0;
    int m_captureSeq = 0;
    bool m_bkColorDlgOpen = false;
    bool m_busy = false;
    int m_skippedPicture = -1; // left out of DrawPictures
    ImageEditBuffer m_imageEdit;
    bool m_editOpen = false;
    std::optional<CanvasSnapshot> m_editBefore; // the records when the edit began
    // The names the pictures of an opened project had there, by the file
    // they were taken out to; saved again under those names.
    QHash<QString, QString> m_layerNames;
    // Declared last: its steps release their clip files into the ledger
    // and look at the canvas while they go.
    ClipFileLedger m_clipFiles;
    QUndoStack m_undoStack;
};
