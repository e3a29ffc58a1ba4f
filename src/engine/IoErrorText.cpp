#include "IoErrorText.h"

#include <QFileInfo>

#include <cerrno>
#include <gif_lib.h>
#include <spng.h>

QString IoErrorText::systemReason(int errorNumber)
{
    switch (errorNumber) {
        case ENOENT: return tr("文件或文件夹不存在");
        case EACCES:
        case EPERM: return tr("没有访问权限");
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return tr("磁盘空间不足");
        case EISDIR: return tr("这是一个文件夹");
        case ENOTDIR: return tr("路径中有一部分不是文件夹");
        case EROFS: return tr("磁盘是只读的");
        case ENAMETOOLONG: return tr("文件名太长");
        case EFBIG: return tr("文件太大");
        case ENOMEM: return tr("内存不足");
        case EMFILE:
        case ENFILE: return tr("同时打开的文件太多");
        case EBUSY:
        case ETXTBSY: return tr("文件正在被使用");
        case EIO: return tr("磁盘读写出错");
        case EEXIST: return tr("文件已存在");
        case ELOOP: return tr("路径中的链接过多");
        default: return QString();
    }
}

QString IoErrorText::reason(QFileDevice::FileError error)
{
    switch (error) {
        case QFileDevice::ReadError: return tr("读取文件时出错");
        case QFileDevice::WriteError: return tr("写入文件时出错");
        case QFileDevice::FatalError: return tr("发生了严重错误");
        case QFileDevice::ResourceError: return tr("磁盘空间或系统资源不足");
        case QFileDevice::OpenError: return tr("无法打开文件");
        case QFileDevice::AbortError: return tr("操作被中止");
        case QFileDevice::TimeOutError: return tr("操作超时");
        case QFileDevice::RemoveError: return tr("无法删除文件");
        case QFileDevice::RenameError: return tr("无法给文件改名");
        case QFileDevice::PositionError: return tr("无法定位到文件中的位置");
        case QFileDevice::ResizeError: return tr("无法改变文件大小");
        case QFileDevice::PermissionsError: return tr("无法改变文件的访问权限");
        case QFileDevice::CopyError: return tr("无法复制文件");
        case QFileDevice::NoError:
        case QFileDevice::UnspecifiedError: break;
    }
    return tr("未知错误");
}

QString IoErrorText::reason(QImageReader::ImageReaderError error)
{
    switch (error) {
        case QImageReader::FileNotFoundError: return tr("文件不存在");
        case QImageReader::DeviceError: return tr("读取文件时出错");
        case QImageReader::UnsupportedFormatError: return tr("不是支持的图片格式");
        case QImageReader::InvalidDataError: return tr("图片数据已损坏");
        case QImageReader::UnknownError: break;
    }
    return tr("未知错误");
}

QString IoErrorText::reason(QImageWriter::ImageWriterError error)
{
    switch (error) {
        case QImageWriter::DeviceError: return tr("写入文件时出错");
        case QImageWriter::UnsupportedFormatError: return tr("不支持保存为这种图片格式");
        case QImageWriter::InvalidImageError: return tr("图片无效, 无法保存");
        case QImageWriter::UnknownError: break;
    }
    return tr("未知错误");
}

QString IoErrorText::writeReason(const QIODevice& device)
{
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    if (file != nullptr && file->error() != QFileDevice::NoError)
        return reason(file->error());
    return reason(QFileDevice::WriteError);
}

QString IoErrorText::reason(const QFileDevice& file, int errorNumber)
{
    if (const QString system = systemReason(errorNumber); !system.isEmpty())
        return system;
    // Qt refuses to open a folder as a file without the system saying anything.
    if (!file.fileName().isEmpty() && QFileInfo(file.fileName()).isDir())
        return systemReason(EISDIR);
    return reason(file.error());
}

QString IoErrorText::pngReason(int code)
{
    switch (code) {
        case SPNG_IO_EOF:
        case SPNG_EOF:
        case SPNG_EIDAT_TOO_SHORT: return tr("文件不完整, 数据被截断");
        case SPNG_IO_ERROR:
        case SPNG_EIO: return tr("读写文件时出错");
        case SPNG_EMEM: return tr("内存不足");
        case SPNG_ESIGNATURE: return tr("不是 PNG 图片");
        case SPNG_EWIDTH:
        case SPNG_EHEIGHT:
        case SPNG_EUSER_WIDTH:
        case SPNG_EUSER_HEIGHT:
        case SPNG_ECHUNK_LIMITS:
        case SPNG_EOVERFLOW: return tr("图片太大");
        default: return tr("图片数据已损坏");
    }
}

QString IoErrorText::gifReason(int code)
{
    switch (code) {
        case E_GIF_ERR_NOT_ENOUGH_MEM: return tr("内存不足");
        case E_GIF_ERR_DISK_IS_FULL: return tr("磁盘空间不足");
        case E_GIF_ERR_WRITE_FAILED:
        case E_GIF_ERR_CLOSE_FAILED:
        case E_GIF_ERR_OPEN_FAILED:
        case E_GIF_ERR_NOT_WRITEABLE: return tr("写入文件时出错");
        case E_GIF_ERR_DATA_TOO_BIG: return tr("图片数据超出了 GIF 格式的范围");
        default: return tr("未知错误");
    }
}
