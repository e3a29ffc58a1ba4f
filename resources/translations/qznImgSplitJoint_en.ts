<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>BandComposer</name>
    <message>
        <source>内存不足, 无法拼接图片</source>
        <translation>Not enough memory to join the pictures</translation>
    </message>
    <message>
        <source>拼接图片的行与画布大小不符</source>
        <translation>The rows of the joined picture do not fit the canvas</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Lumo图片拼接及打印软件</source>
        <translation>Lumo Picture Joining and Printing</translation>
    </message>
    <message>
        <source>版本 %1，使用 Qt %2 编译</source>
        <translation>Version %1, built with Qt %2</translation>
    </message>
    <message>
        <source>截取屏幕热键(Ctrl+</source>
        <translation>Screen capture hot key (Ctrl+</translation>
    </message>
    <message>
        <source>确认修改热键</source>
        <translation>Change the Hot Key</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>这是一个专门面向工程应用的图片拼接及打印软件。拼接图片可以随意旋转，</source>
        <translation>This program joins and prints pictures for engineering work. Joined pictures can be turned,</translation>
    </message>
    <message>
        <source>拉伸，移动。可以通过“透明图片+窗口修剪”拼接图片，也可以用设置修剪线的</source>
        <translation>stretched and moved freely. Pictures are joined by &quot;transparent picture + window trim&quot;, or by</translation>
    </message>
    <message>
        <source>方式拼接图片，拼接图片可以保存为指定的格式。图片打印可以处理为彩色或是</source>
        <translation>setting a trim line, and the joined picture is saved in the format chosen. For printing, a picture is prepared in colour or</translation>
    </message>
    <message>
        <source>黑白灰度方式。</source>
        <translation>in black, white and grey.</translation>
    </message>
    <message>
        <source>软件可以在最小化时，用Ctrl+G热键截取屏幕图。软件也提供了背景音乐的播</source>
        <translation>While minimised, the program captures the screen with the Ctrl+G hot key. It also plays</translation>
    </message>
    <message>
        <source>放及摄像头的拍照功能。</source>
        <translation>background music and takes photos with a camera.</translation>
    </message>
    <message>
        <source>这个桌面不提供全局热键，请用“控制设置”菜单或工具栏中的“截取屏幕”截图。</source>
        <translation>This desktop offers no global hot keys; please capture the screen with &quot;Capture Screen&quot; in the Control menu or on the tool bar.</translation>
    </message>
    <message>
        <source>截取屏幕热键已被其他程序占用，请选择另一个字母，下次启动时生效。</source>
        <translation>Another program already uses this screen capture hot key; please choose another letter, which takes effect at the next start.</translation>
    </message>
</context>
<context>
    <name>CBackgroundMusic</name>
    <message>
        <source>音乐文件(*.wav,*.mid,*.mp3,*.wma)</source>
        <translation>Music files (*.wav *.mid *.mp3 *.wma)</translation>
    </message>
    <message>
        <source>选择播放背景音乐</source>
        <translation>Choose Background Music</translation>
    </message>
</context>
<context>
    <name>CBkColorDlg</name>
    <message>
        <source>调整设置背景色</source>
        <translation>Background Colour</translation>
    </message>
    <message>
        <source>取平均色</source>
        <translation>Average Colour</translation>
    </message>
    <message>
        <source>调背景</source>
        <translation>Try</translation>
    </message>
    <message>
        <source>撤消</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>应用到全图</source>
        <translation>Apply to Whole Picture</translation>
    </message>
    <message>
        <source>撤消应用</source>
        <translation>Undo Apply</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>容差:</source>
        <translation>Tolerance:</translation>
    </message>
    <message>
        <source>颜色数:%1</source>
        <translation>Colours: %1</translation>
    </message>
</context>
<context>
    <name>CCameraDlg</name>
    <message>
        <source>没有找到摄像头</source>
        <translation>No camera was found</translation>
    </message>
    <message>
        <source>拍照图片A1_0</source>
        <translation>PhotoA1_0</translation>
    </message>
    <message>
        <source>开启摄像头</source>
        <translation>Start Camera</translation>
    </message>
    <message>
        <source>拍照</source>
        <translation>Take Photo</translation>
    </message>
    <message>
        <source>照片目录</source>
        <translation>Photo Folder</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>设备:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>自拍定时:</source>
        <translation>Self-timer:</translation>
    </message>
    <message>
        <source>照片名:</source>
        <translation>Photo name:</translation>
    </message>
    <message>
        <source>摄像头拍照 &lt; %1 &gt;</source>
        <translation>Camera Photo &lt; %1 &gt;</translation>
    </message>
    <message>
        <source>摄像头无法开启: %1</source>
        <translation>The camera cannot be started: %1</translation>
    </message>
    <message>
        <source>摄像头出错: %1</source>
        <translation>Camera error: %1</translation>
    </message>
    <message>
        <source>照片没有拍成: %1</source>
        <translation>The photo was not taken: %1</translation>
    </message>
    <message>
        <source>照片无法保存为 %1: %2</source>
        <translation>The photo cannot be saved as %1: %2</translation>
    </message>
</context>
<context>
    <name>CGridTableDlg</name>
    <message>
        <source>插入行</source>
        <translation>Insert Row</translation>
    </message>
    <message>
        <source>删除行</source>
        <translation>Delete Row</translation>
    </message>
    <message>
        <source>重新设置基数</source>
        <translation>Reset to Base</translation>
    </message>
    <message>
        <source>更新显示</source>
        <translation>Update Display</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>间距基数:</source>
        <translation>Spacing base:</translation>
    </message>
    <message>
        <source>水平标尺线表</source>
        <translation>Horizontal Ruler Line Table</translation>
    </message>
    <message>
        <source>竖向标尺线表</source>
        <translation>Vertical Ruler Line Table</translation>
    </message>
    <message>
        <source>编辑格线表</source>
        <translation>Edit Grid Line Table</translation>
    </message>
</context>
<context>
    <name>CImgEditDlg</name>
    <message>
        <source>图片编辑</source>
        <translation>Edit Picture</translation>
    </message>
    <message>
        <source>画笔半径:</source>
        <translation>Brush radius:</translation>
    </message>
    <message>
        <source>选画笔颜色</source>
        <translation>Brush Colour</translation>
    </message>
    <message>
        <source>“按住Alt键+左键”图中取色</source>
        <translation>Alt+click in the picture to take a pattern</translation>
    </message>
    <message>
        <source>关 闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CImgJoinEngine</name>
    <message>
        <source>无法建立临时文件夹 %1</source>
        <translation>Cannot create the temporary folder %1</translation>
    </message>
    <message>
        <source>正在处理图片, 请等处理结束后再操作</source>
        <translation>A picture is being processed; please wait until it is done</translation>
    </message>
    <message>
        <source>装入图片</source>
        <translation>Load Picture</translation>
    </message>
    <message>
        <source>画布上已有%1张图片，不能再装入新的图片</source>
        <translation>The canvas already holds %1 pictures; no more can be loaded</translation>
    </message>
    <message>
        <source>没有装入图片 %1：%2</source>
        <translation>Picture %1 was not loaded: %2</translation>
    </message>
    <message>
        <source>没有装入图片 %1：图片是空的</source>
        <translation>Picture %1 was not loaded: the picture is empty</translation>
    </message>
    <message>
        <source>旋转角度无效: %1</source>
        <translation>Invalid rotation angle: %1</translation>
    </message>
    <message>
        <source>图片 %1 的位置 (%2, %3) 加上大小 %4 × %5 太大，超出了画布坐标的范围</source>
        <translation>Picture %1 at (%2, %3) with size %4 × %5 reaches beyond the canvas coordinates</translation>
    </message>
    <message>
        <source>清除图片</source>
        <translation>Clear Pictures</translation>
    </message>
    <message>
        <source>无法读取输出图片 %1</source>
        <translation>Cannot read the output picture %1</translation>
    </message>
    <message>
        <source>无法写入 %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>有 %1 个图块无法读取, 其位置留空。%2</source>
        <translation>%1 tile(s) could not be read and were left blank. %2</translation>
    </message>
    <message>
        <source>拼合图片过大: %1 x %2 像素</source>
        <translation>The assembled picture is too large: %1 x %2 pixels</translation>
    </message>
    <message>
        <source>内存不足, 无法拼合 %1 x %2 像素的图片</source>
        <translation>Not enough memory to assemble a picture of %1 x %2 pixels</translation>
    </message>
    <message>
        <source>无法读取设置文件 %1: %2</source>
        <translation>Cannot read the settings file %1: %2</translation>
    </message>
    <message>
        <source>无法写入设置文件 %1: %2</source>
        <translation>Cannot write the settings file %1: %2</translation>
    </message>
    <message>
        <source>无法改写交接文件 %1: %2</source>
        <translation>Cannot update the hand-over file %1: %2</translation>
    </message>
    <message>
        <source>图块行列数无效: %1 行 %2 列</source>
        <translation>Invalid tile grid: %1 rows, %2 columns</translation>
    </message>
    <message>
        <source>无法写入拼合图片 %1: %2</source>
        <translation>Cannot write the assembled picture %1: %2</translation>
    </message>
    <message>
        <source>临时文件夹 %1 是一个链接, 其中的文件未删除</source>
        <translation>The temporary folder %1 is a link; the files in it were not deleted</translation>
    </message>
    <message>
        <source>图片没有大小, 无法处理</source>
        <translation>The picture has no size and cannot be processed</translation>
    </message>
    <message>
        <source>无法保存处理后的图片</source>
        <translation>Cannot save the processed picture</translation>
    </message>
    <message>
        <source>图片在处理期间已改变, 处理结果未采用</source>
        <translation>The picture changed while it was processed; the result was discarded</translation>
    </message>
    <message>
        <source>图片滤镜</source>
        <translation>Picture Filter</translation>
    </message>
    <message>
        <source>撤消图片滤镜</source>
        <translation>Undo Picture Filter</translation>
    </message>
    <message>
        <source>移动图片</source>
        <translation>Move Picture</translation>
    </message>
    <message>
        <source>拉伸图片</source>
        <translation>Stretch Picture</translation>
    </message>
    <message>
        <source>旋转图片</source>
        <translation>Rotate Picture</translation>
    </message>
    <message>
        <source>删除图片</source>
        <translation>Delete Picture</translation>
    </message>
    <message>
        <source>调整图层</source>
        <translation>Change Layer</translation>
    </message>
    <message>
        <source>拼接图片太大(%1 x %2)</source>
        <translation>The joined picture is too large (%1 x %2)</translation>
    </message>
    <message>
        <source>没有可保存的拼接图片</source>
        <translation>There is no joined picture to save</translation>
    </message>
    <message>
        <source>没有打印输出图片</source>
        <translation>There is no print output picture</translation>
    </message>
    <message>
        <source>修剪窗口太小</source>
        <translation>The trim window is too small</translation>
    </message>
    <message>
        <source>修剪窗口超出了图片坐标的范围</source>
        <translation>The trim window reaches beyond the picture coordinates</translation>
    </message>
    <message>
        <source>修剪窗口太大, 内存不足</source>
        <translation>The trim window is too large: not enough memory</translation>
    </message>
    <message>
        <source>修剪图片</source>
        <translation>Trim Picture</translation>
    </message>
    <message>
        <source>修剪窗口超出了画布坐标的范围</source>
        <translation>The trim window reaches beyond the canvas coordinates</translation>
    </message>
    <message>
        <source>没有写入这个文件夹的权限</source>
        <translation>no permission to write to this folder</translation>
    </message>
    <message>
        <source>磁盘是只读的</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>文件夹不存在</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>写入时出错</source>
        <translation>an error occurred while writing</translation>
    </message>
    <message>
        <source>写入时出错（系统错误 %1）</source>
        <translation>an error occurred while writing (system error %1)</translation>
    </message>
    <message>
        <source>项目 %1 没有保存：拼接图片无法生成</source>
        <translation>The project %1 was not saved: the joined picture could not be made.</translation>
    </message>
    <message>
        <source>项目 %1 没有保存：图片 %2 无法读取（%3）</source>
        <translation>The project %1 was not saved: the picture %2 cannot be read (%3).</translation>
    </message>
    <message>
        <source>项目 %1 没有保存：拼接图片无法编码（%2）</source>
        <translation>The project %1 was not saved: the joined picture cannot be encoded (%2).</translation>
    </message>
    <message>
        <source>画布上没有图片, 项目 %1 没有保存</source>
        <translation>The canvas holds no pictures, so the project %1 was not saved.</translation>
    </message>
    <message>
        <source>无法保存项目 %1：这是一个文件夹</source>
        <translation>Cannot save the project %1: it is a folder.</translation>
    </message>
    <message>
        <source>无法保存项目 %1：文件夹 %2 不存在</source>
        <translation>Cannot save the project %1: the folder %2 does not exist.</translation>
    </message>
    <message>
        <source>无法保存项目 %1：%2</source>
        <translation>Cannot save the project %1: %2.</translation>
    </message>
    <message>
        <source>无法打开项目 %1：%2</source>
        <translation>Cannot open the project %1: %2.</translation>
    </message>
    <message>
        <source>无法写入临时文件 %1（%2）</source>
        <translation>Cannot write the temporary file %1 (%2).</translation>
    </message>
    <message>
        <source>其中的图片 %1 无法读取（%2）</source>
        <translation>its picture %1 cannot be read (%2)</translation>
    </message>
    <message>
        <source>其中的图片 %1 是空的</source>
        <translation>its picture %1 is empty</translation>
    </message>
    <message>
        <source>其中的图片 %1 的位置超出了画布坐标的范围</source>
        <translation>the place of its picture %1 lies outside the canvas coordinates</translation>
    </message>
    <message>
        <source>项目 %1 中的图片移到 (%2, %3) 后超出了画布坐标的范围</source>
        <translation>A picture of the project %1, moved to (%2, %3), lies outside the canvas coordinates.</translation>
    </message>
    <message>
        <source>无法写入临时文件 %1</source>
        <translation>Cannot write the temporary file %1.</translation>
    </message>
    <message>
        <source>项目 %1 中的图片 %2 无法读取：%3</source>
        <translation>The picture %2 of the project %1 cannot be read: %3.</translation>
    </message>
    <message>
        <source>项目 %1 中的图片 %2 无法放到画布上</source>
        <translation>The picture %2 of the project %1 cannot be put on the canvas.</translation>
    </message>
    <message>
        <source>没有一张图片能与其他图片对上, 未做任何改变</source>
        <translation>No picture matched any other; nothing was changed</translation>
    </message>
    <message>
        <source>自动拼接至少需要两张图片</source>
        <translation>Automatic joining needs at least two pictures</translation>
    </message>
    <message>
        <source>图片在自动拼接期间已改变, 拼接结果未采用</source>
        <translation>The pictures changed during automatic joining; the result was not used</translation>
    </message>
    <message>
        <source>自动拼接全部图片</source>
        <translation>Join all pictures automatically</translation>
    </message>
    <message>
        <source>已取消自动拼接</source>
        <translation>Automatic joining cancelled</translation>
    </message>
    <message>
        <source>自动拼接: 已放置全部 %1 张图片</source>
        <translation>Automatic joining: all %1 pictures placed</translation>
    </message>
    <message>
        <source>自动拼接: 已放置 %1 张图片, 未能放置 %2 张: %3</source>
        <translation>Automatic joining: %1 pictures placed, %2 could not be placed: %3</translation>
    </message>
    <message>
        <source>没有当前图片</source>
        <translation>There is no current picture</translation>
    </message>
    <message>
        <source>当前图片下面没有其他图片, 无法自动对齐</source>
        <translation>There is no picture below the current picture to align it with</translation>
    </message>
    <message>
        <source>在当前显示范围内没有找到与当前图片吻合的位置</source>
        <translation>No place matching the current picture was found within the shown area</translation>
    </message>
    <message>
        <source>搜索范围太大, 请放大显示后再试</source>
        <translation>The search area is too large; zoom in and try again</translation>
    </message>
    <message>
        <source>搜索范围太大, 内存不足</source>
        <translation>The search area is too large for the memory available</translation>
    </message>
    <message>
        <source>当前图片已在吻合的位置</source>
        <translation>The current picture already lies where it matches</translation>
    </message>
    <message>
        <source>自动对齐当前图片</source>
        <translation>Align current picture automatically</translation>
    </message>
    <message>
        <source>当前图片已自动对齐, 移动了 (%1, %2), 可信度 %3%</source>
        <translation>The current picture was aligned, moved by (%1, %2), confidence %3%</translation>
    </message>
    <message>
        <source>不支持的图片格式 %1</source>
        <translation>Unsupported picture format %1</translation>
    </message>
    <message>
        <source>无法复制照片 %1: %2</source>
        <translation>Cannot copy the photo %1: %2</translation>
    </message>
    <message>
        <source>图片太大, 内存不足</source>
        <translation>The picture is too large for the memory available</translation>
    </message>
    <message>
        <source>图片修改</source>
        <translation>Edit Picture</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Lumo图片拼接及打印软件 v1.2</source>
        <translation>Lumo Picture Joining and Printing v1.2</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>控制设置</source>
        <translation>Controls</translation>
    </message>
    <message>
        <source>图片滤镜/修改</source>
        <translation>Filters/Retouch</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Tool Bar</translation>
    </message>
    <message>
        <source>(无)</source>
        <translation>(None)</translation>
    </message>
    <message>
        <source>最近的文件(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
</context>
<context>
    <name>CProgressDlg</name>
    <message>
        <source>正在进行图片处理,请稍等!</source>
        <translation>Processing the picture, please wait!</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在取消,请稍等!</source>
        <translation>Cancelling, please wait!</translation>
    </message>
</context>
<context>
    <name>CProjectDirDlg</name>
    <message>
        <source>默认</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>创建</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>2011我的图片</source>
        <translation>2011 My Pictures</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>创建 &lt; %1 &gt; 目录失败!</source>
        <translation>Cannot create the folder &lt; %1 &gt;!</translation>
    </message>
</context>
<context>
    <name>CQznImgEdtJoinDoc</name>
    <message>
        <source>拼接项目文件 (*.ora)</source>
        <translation>Joining projects (*.ora)</translation>
    </message>
    <message>
        <source>画布上的拼接图片还没有保存。要先把它们保存为项目文件吗?</source>
        <translation>The pictures on the canvas have not been saved. Save them as a project file first?</translation>
    </message>
    <message>
        <source>项目 %1 已修改。要先保存修改吗?</source>
        <translation>Project %1 has changed. Save the changes first?</translation>
    </message>
    <message>
        <source>保存项目</source>
        <translation>Save Project</translation>
    </message>
    <message>
        <source>打开项目文件</source>
        <translation>Open Project File</translation>
    </message>
    <message>
        <source>已打开项目 %1</source>
        <translation>Opened project %1</translation>
    </message>
    <message>
        <source>拼接项目</source>
        <translation>Joining project</translation>
    </message>
    <message>
        <source>项目另存为</source>
        <translation>Save Project As</translation>
    </message>
    <message>
        <source>项目已保存到 %1 (%2)</source>
        <translation>Project saved to %1 (%2)</translation>
    </message>
</context>
<context>
    <name>CQznImgEdtJoinView</name>
    <message>
        <source>Lumo图片拼接及打印软件</source>
        <translation>Lumo Picture Joining and Printing</translation>
    </message>
    <message>
        <source>图形文件(*.bmp,*.jpg,*.png,*.gif)</source>
        <translation>Pictures (*.bmp,*.jpg,*.png,*.gif)</translation>
    </message>
    <message>
        <source>特别提示</source>
        <translation>Please Note</translation>
    </message>
    <message>
        <source>真要删除当前拼接图片吗?请确认!</source>
        <translation>Do you really want to delete the current picture? Please confirm!</translation>
    </message>
    <message>
        <source>选择装入新的图片</source>
        <translation>Load New Pictures</translation>
    </message>
    <message>
        <source>画布上已有%1张图片，不能再装入新的图片</source>
        <translation>The canvas already holds %1 pictures; no more can be loaded</translation>
    </message>
    <message>
        <source>没有当前拼接图片，不能切换到打印输出图片方式</source>
        <translation>There is no current picture; cannot switch to print output mode</translation>
    </message>
    <message>
        <source>无法读取的图片文件未装入: %1</source>
        <translation>Unreadable picture files were not loaded: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>画布上最多只能有%1张图片，%2个文件未装入</source>
        <translation>The canvas holds at most %1 pictures; %2 file(s) were not loaded</translation>
    </message>
    <message>
        <source>打印输出方式只显示一张图片，其余%1个文件未装入</source>
        <translation>Print output mode shows one picture only; the other %1 file(s) were not loaded</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>缩放 %1%</source>
        <translation>Zoom %1%</translation>
    </message>
    <message>
        <source>打印输出图片 %1  %2</source>
        <translation>Print output %1  %2</translation>
    </message>
    <message>
        <source>%1  x=%2 y=%3 宽=%4 高=%5  角度 %6°  %7</source>
        <translation>%1  x=%2 y=%3 w=%4 h=%5  angle %6°  %7</translation>
    </message>
    <message>
        <source>自动拼接</source>
        <translation>Automatic Joining</translation>
    </message>
    <message>
        <source>是否自动拼接刚拖入的 %1 张图片?</source>
        <translation>Join the %1 pictures just dropped automatically?</translation>
    </message>
    <message>
        <source>取色窗口没有宽度或高度, 请拖出一个窗口再单击</source>
        <translation>The colour sample window has no width or height; drag out a window, then click</translation>
    </message>
</context>
<context>
    <name>CRulerGridCtrl</name>
    <message>
        <source>间距必须是整数</source>
        <translation>The spacing must be a whole number</translation>
    </message>
    <message>
        <source>间距不能是负数</source>
        <translation>The spacing cannot be negative</translation>
    </message>
    <message>
        <source>间距太大，最大为 %1</source>
        <translation>The spacing is too large; at most %1</translation>
    </message>
</context>
<context>
    <name>CSaveJoinDlg</name>
    <message>
        <source>另存打印输出算量图</source>
        <translation>Save Print Output As</translation>
    </message>
    <message>
        <source>保存拼接图片</source>
        <translation>Save Joined Picture</translation>
    </message>
    <message>
        <source>拼接图片名1</source>
        <translation>Joined picture 1</translation>
    </message>
    <message>
        <source>打印输出算量图1</source>
        <translation>Print output 1</translation>
    </message>
    <message>
        <source>文件目录</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>自动清除用于拼接的图片</source>
        <translation>Clear the joined pictures afterwards</translation>
    </message>
    <message>
        <source>确认保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>取 消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>拼接图片名:</source>
        <translation>Picture name:</translation>
    </message>
    <message>
        <source>这个目录只在本次运行中使用, 无法记入设置:
%1</source>
        <translation>This folder is used for this session only; it cannot be stored in the settings:
%1</translation>
    </message>
    <message>
        <source>请输入图片名。</source>
        <translation>Please enter a picture name.</translation>
    </message>
    <message>
        <source>图片名不能包含路径分隔符 / 或 \。</source>
        <translation>The picture name cannot contain the path separators / or \.</translation>
    </message>
    <message>
        <source>不能保存为 %1 格式, 请选择 BMP、GIF、JPG 或 PNG。</source>
        <translation>Cannot save in %1 format; please choose BMP, GIF, JPG or PNG.</translation>
    </message>
    <message>
        <source>无法保存 %1</source>
        <translation>Cannot save %1</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Save Failed</translation>
    </message>
    <message>
        <source>正在保存拼接图片...</source>
        <translation>Saving the joined picture...</translation>
    </message>
    <message>
        <source>特别提示</source>
        <translation>Please Note</translation>
    </message>
    <message>
        <source>&lt; %1 &gt;已存在!是否更新?</source>
        <translation>&lt; %1 &gt; already exists! Replace it?</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>已保存图片 %1，文件大小 %2。</source>
        <translation>Saved the picture %1, file size %2.</translation>
    </message>
    <message>
        <source>图片没有保存</source>
        <translation>The picture was not saved.</translation>
    </message>
    <message>
        <source>正在保存打印输出图片...</source>
        <translation>Saving the print output picture...</translation>
    </message>
</context>
<context>
    <name>CTiledPrintDlg</name>
    <message>
        <source>分页打印</source>
        <translation>Tiled Printing</translation>
    </message>
    <message>
        <source>不分页, 整张图缩放到一页纸</source>
        <translation>One page: fit the whole picture on one sheet</translation>
    </message>
    <message>
        <source>按比例分页打印:</source>
        <translation>Tile at a scale of:</translation>
    </message>
    <message>
        <source>拼</source>
        <translation>Tile</translation>
    </message>
    <message>
        <source>相邻两张纸重叠%1毫米, 纸上印有虚线和角线: 沿角线裁去纸边, 把裁好的边对齐相邻一张的虚线粘贴。</source>
        <translation>Neighbouring sheets overlap by %1 mm and carry dashed lines and corner marks: trim each sheet along its corner marks, then glue the trimmed edge onto the dashed line of its neighbour.</translation>
    </message>
    <message>
        <source>张纸宽</source>
        <translation>sheets wide</translation>
    </message>
    <message>
        <source>打印...</source>
        <translation>Print...</translation>
    </message>
    <message>
        <source>打印预览...</source>
        <translation>Print Preview...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>整张图打印在一页纸上。</source>
        <translation>The whole picture prints on one sheet.</translation>
    </message>
    <message>
        <source>共%1张纸: 横向%2张, 竖向%3张, 打印比例%4%。</source>
        <translation>%1 sheets: %2 across, %3 down, at a scale of %4%.</translation>
    </message>
    <message>
        <source>需要超过%1张纸, 请减小打印比例。</source>
        <translation>This needs more than %1 sheets; please choose a smaller scale.</translation>
    </message>
    <message>
        <source>纸张太小, 无法按这个比例分页打印。</source>
        <translation>The paper is too small to tile at this scale.</translation>
    </message>
</context>
<context>
    <name>CVideoCapture</name>
    <message>
        <source>没有这个摄像头</source>
        <translation>There is no such camera</translation>
    </message>
    <message>
        <source>摄像头无法开启</source>
        <translation>The camera cannot be started</translation>
    </message>
</context>
<context>
    <name>CViewCommands</name>
    <message>
        <source>新建(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>打开(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>打印(&amp;P)...</source>
        <translation>&amp;Print...</translation>
    </message>
    <message>
        <source>打印预览(&amp;V)</source>
        <translation>Print Pre&amp;view</translation>
    </message>
    <message>
        <source>打印设置(&amp;R)...</source>
        <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>关于Lumo图片拼接及打印软件</source>
        <translation>About Lumo Picture Joining and Printing</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>选择装入新的图片</source>
        <translation>Load New Pictures</translation>
    </message>
    <message>
        <source>保存当前拼接图片</source>
        <translation>Save Joined Picture</translation>
    </message>
    <message>
        <source>图片复制</source>
        <translation>Copy Picture</translation>
    </message>
    <message>
        <source>CAD图黑白灰度打印模式处理图片(1)</source>
        <translation>Prepare for Printing: CAD Drawing in Grey (1)</translation>
    </message>
    <message>
        <source>CAD图黑白灰度打印模式处理图片(2)</source>
        <translation>Prepare for Printing: CAD Drawing in Grey (2)</translation>
    </message>
    <message>
        <source>按白底彩色打印模式处理图片</source>
        <translation>Prepare for Printing: Colour on White</translation>
    </message>
    <message>
        <source>按普通黑白灰度打印模式处理图片</source>
        <translation>Prepare for Printing: Ordinary Grey</translation>
    </message>
    <message>
        <source>恢复原图片</source>
        <translation>Restore Original Picture</translation>
    </message>
    <message>
        <source>打印/输出图片另存</source>
        <translation>Save Print Output As</translation>
    </message>
    <message>
        <source>整体图形操作</source>
        <translation>Whole Drawing Mode</translation>
    </message>
    <message>
        <source>热点(拼接)图片透明</source>
        <translation>Transparent Current Picture</translation>
    </message>
    <message>
        <source>透明显示处理</source>
        <translation>Show Transparent</translation>
    </message>
    <message>
        <source>切换到打印输出图片方式</source>
        <translation>Switch to Print Output Mode</translation>
    </message>
    <message>
        <source>摄像头拍照</source>
        <translation>Take Photo with Camera</translation>
    </message>
    <message>
        <source>选择播放背景音乐</source>
        <translation>Play Background Music</translation>
    </message>
    <message>
        <source>背景音乐循环播放</source>
        <translation>Loop Background Music</translation>
    </message>
    <message>
        <source>图片消蓝</source>
        <translation>Remove Blue</translation>
    </message>
    <message>
        <source>图片反色</source>
        <translation>Invert Colours</translation>
    </message>
    <message>
        <source>图片减淡</source>
        <translation>Fade</translation>
    </message>
    <message>
        <source>图片增亮</source>
        <translation>Brighten</translation>
    </message>
    <message>
        <source>彩色变灰度图</source>
        <translation>Colour to Grey</translation>
    </message>
    <message>
        <source>调整图片反差</source>
        <translation>Adjust Contrast</translation>
    </message>
    <message>
        <source>撤消图片滤镜/修改</source>
        <translation>Undo Filter/Retouch</translation>
    </message>
    <message>
        <source>调整设置背景色</source>
        <translation>Background Colour</translation>
    </message>
    <message>
        <source>图片修改</source>
        <translation>Retouch Picture</translation>
    </message>
    <message>
        <source>软件说明在线阅读及下载</source>
        <translation>Read or Download the Manual Online</translation>
    </message>
    <message>
        <source>操作说明下载(百度)</source>
        <translation>Download the Instructions (Baidu)</translation>
    </message>
    <message>
        <source>软件操作说明</source>
        <translation>User Manual</translation>
    </message>
    <message>
        <source>建立桌面图标</source>
        <translation>Create Desktop Shortcut</translation>
    </message>
    <message>
        <source>图形整体操作</source>
        <translation>Whole Drawing Mode</translation>
    </message>
    <message>
        <source>选择图片修剪窗口</source>
        <translation>Select Trim Window</translation>
    </message>
    <message>
        <source>放大图形</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>缩小图形</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>重新显示图形</source>
        <translation>Redraw</translation>
    </message>
    <message>
        <source>按1:1比例</source>
        <translation>Actual Size (1:1)</translation>
    </message>
    <message>
        <source>全显图片</source>
        <translation>Fit to Window</translation>
    </message>
    <message>
        <source>水平标尺线</source>
        <translation>Horizontal Ruler Lines</translation>
    </message>
    <message>
        <source>竖向标尺线</source>
        <translation>Vertical Ruler Lines</translation>
    </message>
    <message>
        <source>标尺线操作菜单</source>
        <translation>Ruler Line Menu</translation>
    </message>
    <message>
        <source>微移当前图片(上)</source>
        <translation>Nudge Picture Up</translation>
    </message>
    <message>
        <source>微移当前图片</source>
        <translation>Nudge Picture</translation>
    </message>
    <message>
        <source>微移当前图片(下)</source>
        <translation>Nudge Picture Down</translation>
    </message>
    <message>
        <source>微移当前图片(左)</source>
        <translation>Nudge Picture Left</translation>
    </message>
    <message>
        <source>微移当前图片(右)</source>
        <translation>Nudge Picture Right</translation>
    </message>
    <message>
        <source>旋转图片(逆时针)</source>
        <translation>Rotate Anticlockwise</translation>
    </message>
    <message>
        <source>旋转图片</source>
        <translation>Rotate Picture</translation>
    </message>
    <message>
        <source>旋转图片(顺时针)</source>
        <translation>Rotate Clockwise</translation>
    </message>
    <message>
        <source>图片旋转菜单</source>
        <translation>Rotation Menu</translation>
    </message>
    <message>
        <source>热点(拼接)图片选择</source>
        <translation>Select Next Picture</translation>
    </message>
    <message>
        <source>上移拼接图片层</source>
        <translation>Bring Picture Forward</translation>
    </message>
    <message>
        <source>下移图片层</source>
        <translation>Send Picture Backward</translation>
    </message>
    <message>
        <source>下移拼接图片层</source>
        <translation>Send Picture Backward</translation>
    </message>
    <message>
        <source>删除当前拼接图片</source>
        <translation>Delete Current Picture</translation>
    </message>
    <message>
        <source>设置拼接图剪切线</source>
        <translation>Set Trim Line</translation>
    </message>
    <message>
        <source>取消旋转</source>
        <translation>No Rotation</translation>
    </message>
    <message>
        <source>顺时针转90</source>
        <translation>Rotate 90° Clockwise</translation>
    </message>
    <message>
        <source>顺时针转180</source>
        <translation>Rotate 180° Clockwise</translation>
    </message>
    <message>
        <source>逆时针转90</source>
        <translation>Rotate 90° Anticlockwise</translation>
    </message>
    <message>
        <source>逆时针转180</source>
        <translation>Rotate 180° Anticlockwise</translation>
    </message>
    <message>
        <source>修剪线:从下向上拼接↑</source>
        <translation>Trim Line: Join Bottom to Top ↑</translation>
    </message>
    <message>
        <source>修剪线:从上向下拼接↓</source>
        <translation>Trim Line: Join Top to Bottom ↓</translation>
    </message>
    <message>
        <source>修剪线:从右向左拼接←</source>
        <translation>Trim Line: Join Right to Left ←</translation>
    </message>
    <message>
        <source>修剪线:从左向右拼接→</source>
        <translation>Trim Line: Join Left to Right →</translation>
    </message>
    <message>
        <source>删除修剪线</source>
        <translation>Delete Trim Line</translation>
    </message>
    <message>
        <source>按修剪线修剪图片</source>
        <translation>Trim Along the Trim Line</translation>
    </message>
    <message>
        <source>水平标尺线表</source>
        <translation>Horizontal Ruler Line Table</translation>
    </message>
    <message>
        <source>竖向标尺线表</source>
        <translation>Vertical Ruler Line Table</translation>
    </message>
    <message>
        <source>放大标尺</source>
        <translation>Enlarge Ruler</translation>
    </message>
    <message>
        <source>缩小标尺</source>
        <translation>Reduce Ruler</translation>
    </message>
    <message>
        <source>恢复原标尺比例</source>
        <translation>Reset Ruler Scale</translation>
    </message>
    <message>
        <source>切换到图片拼接方式</source>
        <translation>Switch to Joining Mode</translation>
    </message>
    <message>
        <source>另存为(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>分页打印...</source>
        <translation>Tiled Printing...</translation>
    </message>
    <message>
        <source>输出PDF...</source>
        <translation>Export PDF...</translation>
    </message>
    <message>
        <source>查看网站(%1)</source>
        <translation>Visit the Website (%1)</translation>
    </message>
    <message>
        <source>截取屏幕</source>
        <translation>Capture Screen</translation>
    </message>
    <message>
        <source>自动对齐当前图片</source>
        <translation>Align Current Picture Automatically</translation>
    </message>
    <message>
        <source>自动拼接全部图片</source>
        <translation>Join All Pictures Automatically</translation>
    </message>
</context>
<context>
    <name>CameraCatalog</name>
    <message>
        <source>测试图案</source>
        <translation>Test Pattern</translation>
    </message>
</context>
<context>
    <name>CaptureAligner</name>
    <message>
        <source>与相邻截图的重叠部分不一致, 无法可靠定位</source>
        <translation>Its overlaps disagree with the neighbouring captures, so it cannot be placed reliably</translation>
    </message>
    <message>
        <source>只与其他未放置的截图重叠</source>
        <translation>Overlaps only captures that were not placed</translation>
    </message>
    <message>
        <source>与其他截图没有找到吻合的重叠部分</source>
        <translation>No matching overlap with any other capture was found</translation>
    </message>
    <message>
        <source>无法读取图片</source>
        <translation>The picture cannot be read</translation>
    </message>
    <message>
        <source>大小与其他截图不同</source>
        <translation>Its size differs from the other captures</translation>
    </message>
    <message>
        <source>至少需要两张大小相同的截图</source>
        <translation>At least two captures of the same size are needed</translation>
    </message>
    <message>
        <source>没有其他大小相同的截图</source>
        <translation>No other capture has the same size</translation>
    </message>
    <message>
        <source>给出的绘图区域 (%1,%2,%3,%4) 超出了截图的范围 %5x%6</source>
        <translation>The given drawing area (%1,%2,%3,%4) lies outside the captures (%5x%6)</translation>
    </message>
    <message>
        <source>截图之间没有变化的区域, 找不到绘图区域</source>
        <translation>Nothing changes between the captures, so no drawing area was found</translation>
    </message>
</context>
<context>
    <name>DesktopShortcutMaker</name>
    <message>
        <source>Lumo图片拼接及打印软件</source>
        <translation>Lumo Picture Joining and Printing</translation>
    </message>
    <message>
        <source>创建桌面图标失败，请稍后自行创建!</source>
        <translation>The desktop icon could not be created. Please create it yourself later.</translation>
    </message>
    <message>
        <source>无法写入 %1: %2</source>
        <translation>Cannot write %1: %2.</translation>
    </message>
    <message>
        <source>Lumo图片拼接软件</source>
        <translation>Lumo Picture Joining</translation>
    </message>
</context>
<context>
    <name>FilterRowStream</name>
    <message>
        <source>内存不足, 无法处理图片</source>
        <translation>Not enough memory to process the picture</translation>
    </message>
</context>
<context>
    <name>GifWriter</name>
    <message>
        <source>GIF 编码失败：%1</source>
        <translation>GIF encoding failed: %1</translation>
    </message>
    <message>
        <source>没有可写入的图片</source>
        <translation>There is no picture to write</translation>
    </message>
    <message>
        <source>GIF 图片的宽和高最多 %1 像素</source>
        <translation>A GIF picture is at most %1 pixels wide and high</translation>
    </message>
    <message>
        <source>内存不足，无法为 GIF 图片生成调色板</source>
        <translation>Not enough memory to make the palette of the GIF picture</translation>
    </message>
</context>
<context>
    <name>GlobalHotKeyPortal</name>
    <message>
        <source>截取屏幕</source>
        <translation>Capture Screen</translation>
    </message>
</context>
<context>
    <name>HelpLinks</name>
    <message>
        <source>找不到软件操作说明</source>
        <translation>The user manual cannot be found.</translation>
    </message>
    <message>
        <source>无法打开 %1</source>
        <translation>Cannot open %1.</translation>
    </message>
</context>
<context>
    <name>ImageCodec</name>
    <message>
        <source>图片 %1 太大（%2 × %3 像素），最多只能处理 %4 像素</source>
        <translation>Picture %1 is too large (%2 × %3 pixels); at most %4 pixels can be handled</translation>
    </message>
    <message>
        <source>找不到图片文件 %1</source>
        <translation>Cannot find the picture file %1</translation>
    </message>
    <message>
        <source>%1 是文件夹，不是图片文件</source>
        <translation>%1 is a folder, not a picture file</translation>
    </message>
    <message>
        <source>%1 不是普通文件，不能作为图片读取</source>
        <translation>%1 is not a regular file and cannot be read as a picture</translation>
    </message>
    <message>
        <source>无法打开图片文件 %1：%2</source>
        <translation>Cannot open the picture file %1: %2</translation>
    </message>
    <message>
        <source>无法识别图片文件 %1 的格式：%2</source>
        <translation>Cannot recognise the format of the picture file %1: %2</translation>
    </message>
    <message>
        <source>图片文件 %1 不完整，数据被截断</source>
        <translation>The picture file %1 is incomplete: its data is cut off</translation>
    </message>
    <message>
        <source>无法解码图片文件 %1：%2</source>
        <translation>Cannot decode the picture file %1: %2</translation>
    </message>
    <message>
        <source>无法读取图片文件 %1 的大小：%2</source>
        <translation>Cannot read the size of the picture file %1: %2</translation>
    </message>
    <message>
        <source>无法保存到 %1：它不是普通文件</source>
        <translation>Cannot save to %1: it is not a regular file</translation>
    </message>
    <message>
        <source>无法保存到 %1：文件是只读的</source>
        <translation>Cannot save to %1: the file is read-only</translation>
    </message>
    <message>
        <source>无法保存到 %1：该文件还有其他名称（硬链接），替换它会使这些链接失效</source>
        <translation>Cannot save to %1: the file has other names (hard links), which replacing it would break</translation>
    </message>
    <message>
        <source>没有可保存到 %1 的图片</source>
        <translation>There is no picture to save to %1</translation>
    </message>
    <message>
        <source>无法保存图片 %1：文件夹 %2 不存在</source>
        <translation>Cannot save the picture %1: the folder %2 does not exist</translation>
    </message>
    <message>
        <source>无法保存图片 %1：这是一个文件夹</source>
        <translation>Cannot save the picture %1: it is a folder</translation>
    </message>
    <message>
        <source>无法创建图片文件 %1：%2</source>
        <translation>Cannot create the picture file %1: %2</translation>
    </message>
    <message>
        <source>无法保存图片 %1：%2</source>
        <translation>Cannot save the picture %1: %2</translation>
    </message>
</context>
<context>
    <name>ImgJoinCommand</name>
    <message>
        <source>用法:</source>
        <translation>Usage:</translation>
    </message>
    <message>
        <source>把图片 IN 处理为打印用的图片, 写入 OUT:
  99  彩色打印机: 灰色和黑色变为其反色, 黑色背景因而变白; 彩色不变;
  100 黑白 CAD 图: 先反色, 再变为灰度;
  101 普通黑白: 变为灰度;
  109 黑白 CAD 图: 灰色反色, 再变为蓝色权重最大的灰度, 鲜艳的颜色
      打印得更深。
透明部分按黑色处理; 结果不透明。</source>
        <translation>Prepares the picture IN for printing and writes it to OUT:
  99  colour printer: greys and black turn into their opposites, so
      a black background becomes white; colours stay;
  100 CAD drawing in black and white: inverted, then grey;
  101 ordinary black and white: grey;
  109 CAD drawing in black and white: greys inverted, then a grey
      that weighs blue most and prints bright colours darker.
Transparent parts count as black; the result is opaque.</translation>
    </message>
    <message>
        <source>对 IN 使用图片滤镜并写入 OUT: 100 消蓝, 101 反色, 102 减淡(x 0.9),
103 增亮(x 1.1), 201 灰度, 202 把颜色减少为 S 的倍数(默认 2),
301 把严格位于各范围内的颜色替换为 R,G,B(两个选项都需要)。
这两个命令都和 join 一样按 OUT 的扩展名选择编码格式。</source>
        <translation>Applies a picture filter to IN and writes OUT: 100 remove blue,
101 invert, 102 fade (x 0.9), 103 brighten (x 1.1), 201 grey,
202 posterise to multiples of S (default 2), 301 replace every
colour strictly inside the ranges by R,G,B (both options needed).
For both commands OUT&apos;s suffix picks the encoder as for join.</translation>
    </message>
    <message>
        <source>显示本说明。</source>
        <translation>Shows this text.</translation>
    </message>
    <message>
        <source>退出状态: 0 完成, 1 图片无法读取或写入, 2 参数有误。</source>
        <translation>Exit status: 0 done, 1 a picture could not be read or written, 2 bad arguments.</translation>
    </message>
    <message>
        <source>没有给出命令</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>未知的命令 &apos;%1&apos;</source>
        <translation>unknown command &apos;%1&apos;</translation>
    </message>
    <message>
        <source>请用 &apos;imgjoin --help&apos; 查看用法。</source>
        <translation>Try &apos;imgjoin --help&apos;.</translation>
    </message>
    <message>
        <source>join 需要 OUT 和至少一张图片</source>
        <translation>join needs OUT and at least one picture</translation>
    </message>
    <message>
        <source>无法识别 &apos;%1&apos; 中的位置</source>
        <translation>cannot read the placement in &apos;%1&apos;</translation>
    </message>
    <message>
        <source>最多只能拼接 %1 张图片</source>
        <translation>at most %1 pictures can be joined</translation>
    </message>
    <message>
        <source>stitch 需要 STEM ROWS COLS OUT</source>
        <translation>stitch needs STEM ROWS COLS OUT</translation>
    </message>
    <message>
        <source>ROWS 和 COLS 必须是 1 到 99 的整数</source>
        <translation>ROWS and COLS must be whole numbers from 1 to 99</translation>
    </message>
    <message>
        <source>print-prep 需要 --job N IN OUT</source>
        <translation>print-prep needs --job N IN OUT</translation>
    </message>
    <message>
        <source>处理方式必须是 99、100、101 或 109</source>
        <translation>the job must be 99, 100, 101 or 109</translation>
    </message>
    <message>
        <source>%1 后面需要一个值</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>--code 必须是 100、101、102、103、201、202 或 301</source>
        <translation>--code must be 100, 101, 102, 103, 201, 202 or 301</translation>
    </message>
    <message>
        <source>步长必须是 1 到 128</source>
        <translation>the step must be 1 to 128</translation>
    </message>
    <message>
        <source>无法使用 &apos;%1 %2&apos;</source>
        <translation>cannot use &apos;%1 %2&apos;</translation>
    </message>
    <message>
        <source>滤镜 301 需要 --range 和 --replace</source>
        <translation>filter 301 needs --range and --replace</translation>
    </message>
    <message>
        <source>filter 需要 IN 和 OUT</source>
        <translation>filter needs IN and OUT</translation>
    </message>
    <message>
        <source>把图片按给出的顺序放到同一块画布上(后面的在上层), 拼接后写入 OUT。
x,y 是图片左上角在画布上的位置(默认 0,0), w,h 是图片拉伸后的
大小(默认为图片本身的像素大小), angle 是绕图框中心顺时针旋转的
角度。画布从最小的 x 和 y 起覆盖所有图框, 未覆盖的部分保持透明。
OUT 的扩展名决定编码格式(bmp、jpg/jpeg、png、gif, 其他一律写成 PNG);
OUT 以 .ora 结尾时写成项目文件(OpenRaster), 保留每张图片及其位置、
大小和旋转。以 .ora 结尾的 PIC 把该项目的所有图片按原位放到画布上,
给出 x,y 时整体移动 x,y(w,h 和 angle 对项目无效)。</source>
        <translation>Lays the pictures on one canvas in the order given (later ones on top)
and writes the joined picture to OUT. x,y is the picture&apos;s top-left
corner on the canvas (default 0,0), w,h the size it is stretched to
(default: its own pixel size), angle a clockwise turn in degrees about
the box centre. The canvas spans all boxes from the smallest x and y;
uncovered parts stay transparent. OUT&apos;s suffix picks the encoder
(bmp, jpg/jpeg, png, gif; anything else writes PNG); an OUT ending
in .ora is written as a project file (OpenRaster) that keeps every
picture, its place, size and turn. A PIC ending in .ora puts all the
pictures of that project on the canvas at their places, moved by its
x,y when given (w,h and angle do not apply to a project).</translation>
    </message>
    <message>
        <source>把名为 STEM&lt;行&gt;&lt;列&gt;.png 的 ROWS x COLS 个图块(行号和列号为十进制,
从 0 起)按图块 00 的大小排成网格拼合, 结果按 OUT 的扩展名选择的格式
写入 OUT(同 join)。只有 1 行 1 列时, 若 STEM 本身是完整的文件名且已是
该格式, 则原样复制。ROWS 和 COLS 为 1 到 99。</source>
        <translation>Assembles ROWS x COLS tiles named STEM&lt;row&gt;&lt;col&gt;.png (row and column
in decimal, from 0) on a grid whose pitch is the size of tile 00, and
writes the result to OUT in the format its suffix picks, as for join.
With 1 row and 1 column a STEM that is a complete file name is copied
as it is when it is in that format already. ROWS and COLS are 1 to 99.</translation>
    </message>
    <message>
        <source>项目文件只能给出 @x,y, 不能给出大小或旋转: &apos;%1&apos;</source>
        <translation>a project takes only @x,y, not a size or a turn: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>无法建立临时文件夹</source>
        <translation>cannot make a temporary folder</translation>
    </message>
    <message>
        <source>把同一张图纸的多张屏幕截图自动拼接成一张图纸, 写入 OUT(格式同 join,
不能写成 .ora)。截图的顺序不限, 相邻的截图须有重叠。每张截图中图纸
所在的区域(其余是程序的标题栏、工具栏、状态栏等)自动找出, 也可用
--area 给出: 左上角 X,Y 和大小 W,H(像素)。只有图纸区域进入结果。
--report 在标准输出上每张放入的图片写一行: 文件 X,Y 可信度, X,Y 是
其图纸区域左上角在结果中的位置, 可信度为 0 到 1; 然后每张未放入的
图片写一行: &quot;%1 文件: 原因&quot;。有图片未放入时仍写出结果, 并在标准
错误上警告; 没有一张图片能与其他图片拼接时失败(退出状态 1)。</source>
        <translation>Joins screen captures of one drawing into that drawing by themselves and
writes it to OUT (encoders as for join; not .ora). The captures may come in
any order; neighbours must overlap. The drawing area of the captures (the rest
is the program&apos;s title bar, tool bars, status bar and so on) is found, or
given with --area: top-left X,Y and size W,H in pixels. Only the drawing areas
go into the result. --report writes a line to standard output for each placed
picture: file X,Y confidence, where X,Y is its drawing area&apos;s top-left in the
result and the confidence goes from 0 to 1; then a line &quot;%1 file: reason&quot;
for each picture left out. Pictures left out still give a result, with a
warning on standard error; when no picture joins with another, the command
fails (exit status 1).</translation>
    </message>
    <message>
        <source>未放入:</source>
        <translation>left out:</translation>
    </message>
    <message>
        <source>--area 需要 X,Y,W,H: 四个整数, X、Y 不小于 0, W、H 大于 0</source>
        <translation>--area needs X,Y,W,H: four integers, X and Y 0 or more, W and H more than 0</translation>
    </message>
    <message>
        <source>auto-join 不认识选项 &apos;%1&apos;</source>
        <translation>auto-join does not know the option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>auto-join 需要 OUT 和至少两张图片</source>
        <translation>auto-join needs OUT and at least two pictures</translation>
    </message>
    <message>
        <source>auto-join 不能写成项目文件(.ora), 请给出图片文件</source>
        <translation>auto-join cannot write a project file (.ora); give a picture file</translation>
    </message>
    <message>
        <source>--area %1,%2,%3,%4 超出了 %5 (%6 x %7)</source>
        <translation>--area %1,%2,%3,%4 does not fit in %5 (%6 x %7)</translation>
    </message>
    <message>
        <source>没有一张图片能与其他图片拼接, 未写出 %1</source>
        <translation>no picture joins with another; %1 not written</translation>
    </message>
    <message>
        <source>拼接的图纸(%1 x %2 像素)太大, 内存不足</source>
        <translation>the joined drawing (%1 x %2 pixels) is too large for the memory</translation>
    </message>
    <message>
        <source>警告: %1 未放入结果: %2</source>
        <translation>warning: %1 left out of the result: %2</translation>
    </message>
</context>
<context>
    <name>IoErrorText</name>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>没有访问权限</source>
        <translation>access denied</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>路径中有一部分不是文件夹</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>磁盘是只读的</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation>the file name is too long</translation>
    </message>
    <message>
        <source>文件太大</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>同时打开的文件太多</source>
        <translation>too many files are open</translation>
    </message>
    <message>
        <source>文件正在被使用</source>
        <translation>the file is in use</translation>
    </message>
    <message>
        <source>磁盘读写出错</source>
        <translation>the disk could not be read or written</translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation>the file already exists</translation>
    </message>
    <message>
        <source>路径中的链接过多</source>
        <translation>too many links in the path</translation>
    </message>
    <message>
        <source>读取文件时出错</source>
        <translation>the file could not be read</translation>
    </message>
    <message>
        <source>写入文件时出错</source>
        <translation>the file could not be written</translation>
    </message>
    <message>
        <source>发生了严重错误</source>
        <translation>a fatal error occurred</translation>
    </message>
    <message>
        <source>磁盘空间或系统资源不足</source>
        <translation>not enough disk space or system resources</translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation>the file cannot be opened</translation>
    </message>
    <message>
        <source>操作被中止</source>
        <translation>the operation was aborted</translation>
    </message>
    <message>
        <source>操作超时</source>
        <translation>the operation timed out</translation>
    </message>
    <message>
        <source>无法删除文件</source>
        <translation>the file cannot be deleted</translation>
    </message>
    <message>
        <source>无法给文件改名</source>
        <translation>the file cannot be renamed</translation>
    </message>
    <message>
        <source>无法定位到文件中的位置</source>
        <translation>cannot seek in the file</translation>
    </message>
    <message>
        <source>无法改变文件大小</source>
        <translation>the file size cannot be changed</translation>
    </message>
    <message>
        <source>无法改变文件的访问权限</source>
        <translation>the file permissions cannot be changed</translation>
    </message>
    <message>
        <source>无法复制文件</source>
        <translation>the file cannot be copied</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>不是支持的图片格式</source>
        <translation>not a supported picture format</translation>
    </message>
    <message>
        <source>图片数据已损坏</source>
        <translation>the picture data is damaged</translation>
    </message>
    <message>
        <source>不支持保存为这种图片格式</source>
        <translation>pictures cannot be saved in this format</translation>
    </message>
    <message>
        <source>图片无效, 无法保存</source>
        <translation>the picture is invalid and cannot be saved</translation>
    </message>
    <message>
        <source>文件不完整, 数据被截断</source>
        <translation>the file is incomplete: its data is cut off</translation>
    </message>
    <message>
        <source>读写文件时出错</source>
        <translation>the file could not be read or written</translation>
    </message>
    <message>
        <source>不是 PNG 图片</source>
        <translation>not a PNG picture</translation>
    </message>
    <message>
        <source>图片太大</source>
        <translation>the picture is too large</translation>
    </message>
    <message>
        <source>图片数据超出了 GIF 格式的范围</source>
        <translation>the picture data exceeds what the GIF format can hold</translation>
    </message>
</context>
<context>
    <name>JoinSaveJob</name>
    <message>
        <source>内存不足, 无法拼接图片</source>
        <translation>Not enough memory to join the pictures</translation>
    </message>
</context>
<context>
    <name>JpegWriter</name>
    <message>
        <source>没有可写入的图片</source>
        <translation>there is no picture to write</translation>
    </message>
    <message>
        <source>图片太大（%1 × %2 像素），JPG 格式的宽和高最多 %3 像素，请改存为 PNG</source>
        <translation>The picture is too large (%1 × %2 pixels): a JPG is at most %3 pixels wide and high. Please save it as PNG instead.</translation>
    </message>
    <message>
        <source>内存不足, 无法写入JPG图片</source>
        <translation>not enough memory to write the JPG picture</translation>
    </message>
    <message>
        <source>无法启动JPG压缩</source>
        <translation>the JPG compression cannot start</translation>
    </message>
    <message>
        <source>JPG压缩失败</source>
        <translation>the JPG compression failed</translation>
    </message>
</context>
<context>
    <name>OraProject</name>
    <message>
        <source>标尺的比例无效</source>
        <translation>the ruler scale is not valid</translation>
    </message>
    <message>
        <source>标尺表的方向“%1”无效</source>
        <translation>the ruler table direction &quot;%1&quot; is not valid</translation>
    </message>
    <message>
        <source>标尺表中有一行无效</source>
        <translation>a row of a ruler table is not valid</translation>
    </message>
    <message>
        <source>这不是一个项目文件, 或者文件不完整</source>
        <translation>it is not a project file, or the file is incomplete</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>文件无法读取</source>
        <translation>the file cannot be read</translation>
    </message>
    <message>
        <source>缺少 %1</source>
        <translation>%1 is missing</translation>
    </message>
    <message>
        <source>%1 无法读取</source>
        <translation>%1 cannot be read</translation>
    </message>
    <message>
        <source>%1 太大（%2 字节）, 超出了可以打开的范围</source>
        <translation>%1 is too large (%2 bytes) to be opened</translation>
    </message>
    <message>
        <source>%1 的压缩方式无法读取</source>
        <translation>the compression of %1 is not supported</translation>
    </message>
    <message>
        <source>%1 已损坏</source>
        <translation>%1 is damaged</translation>
    </message>
    <message>
        <source>这不是一个 OpenRaster 项目文件</source>
        <translation>it is not an OpenRaster project file</translation>
    </message>
    <message>
        <source>stack.xml 中没有 image 元素</source>
        <translation>stack.xml has no image element</translation>
    </message>
    <message>
        <source>stack.xml 中的图层嵌套太深</source>
        <translation>the layers in stack.xml are nested too deeply</translation>
    </message>
    <message>
        <source>stack.xml 中的图层组位置无效</source>
        <translation>a layer group&apos;s place in stack.xml is not valid</translation>
    </message>
    <message>
        <source>图层的文件名“%1”无效</source>
        <translation>the layer file name &quot;%1&quot; is not valid</translation>
    </message>
    <message>
        <source>图层 %1 的属性 %2 无效</source>
        <translation>the attribute %2 of layer %1 is not valid</translation>
    </message>
    <message>
        <source>项目中的图片超过 %1 张</source>
        <translation>the project holds more than %1 pictures</translation>
    </message>
    <message>
        <source>视图的缩放或位置无效</source>
        <translation>the view&apos;s zoom or position is not valid</translation>
    </message>
    <message>
        <source>裁剪线无效</source>
        <translation>the trim line is not valid</translation>
    </message>
    <message>
        <source>stack.xml 格式错误（第 %1 行）</source>
        <translation>stack.xml is malformed (line %1)</translation>
    </message>
    <message>
        <source>内存不足, 无法组成项目文件</source>
        <translation>not enough memory to put the project file together</translation>
    </message>
    <message>
        <source>这不是一个普通文件</source>
        <translation>it is not a regular file</translation>
    </message>
</context>
<context>
    <name>PixelJob</name>
    <message>
        <source>内存不足, 无法处理图片</source>
        <translation>Not enough memory to process the picture</translation>
    </message>
</context>
<context>
    <name>PngCropReader</name>
    <message>
        <source>无法解码图片文件 %1：%2</source>
        <translation>Cannot decode the picture file %1: %2</translation>
    </message>
    <message>
        <source>内存不足, 无法解码图片文件 %1</source>
        <translation>Not enough memory to decode the picture file %1</translation>
    </message>
</context>
<context>
    <name>PngRowReader</name>
    <message>
        <source>内存不足, 无法读取 %1</source>
        <translation>Not enough memory to read %1</translation>
    </message>
    <message>
        <source>图片文件 %1 的行读取有误</source>
        <translation>The rows of picture file %1 were read out of order</translation>
    </message>
</context>
<context>
    <name>PngRowStream</name>
    <message>
        <source>内存不足, 无法读取 %1</source>
        <translation>Not enough memory to read %1</translation>
    </message>
    <message>
        <source>无法解码图片文件 %1：%2</source>
        <translation>Cannot decode the picture file %1: %2</translation>
    </message>
    <message>
        <source>无法创建图片文件 %1：%2</source>
        <translation>Cannot create the picture file %1: %2</translation>
    </message>
    <message>
        <source>无法保存图片 %1：%2</source>
        <translation>Cannot save the picture %1: %2</translation>
    </message>
</context>
<context>
    <name>PngStreamWriter</name>
    <message>
        <source>PNG图片的写入已经失败</source>
        <translation>Writing the PNG picture has already failed</translation>
    </message>
    <message>
        <source>PNG图片的行与图片大小不符</source>
        <translation>The rows of the PNG picture do not fit its size</translation>
    </message>
    <message>
        <source>内存不足, 无法写入PNG图片</source>
        <translation>Not enough memory to write the PNG picture</translation>
    </message>
    <message>
        <source>PNG压缩失败</source>
        <translation>PNG compression failed</translation>
    </message>
</context>
<context>
    <name>PngWriter</name>
    <message>
        <source>没有可写入的图片</source>
        <translation>There is no picture to write</translation>
    </message>
    <message>
        <source>内存不足, 无法写入PNG图片</source>
        <translation>Not enough memory to write the PNG picture</translation>
    </message>
    <message>
        <source>PNG压缩失败</source>
        <translation>PNG compression failed</translation>
    </message>
</context>
<context>
    <name>ProgramLanguage</name>
    <message>
        <source>无法装入英文翻译, 程序以中文显示。</source>
        <translation>The English translation cannot be loaded; the program is shown in Chinese.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>无法启动打印作业。</source>
        <translation>Cannot start the print job.</translation>
    </message>
    <message>
        <source>画布上没有图片, 没有可以输出的内容。</source>
        <translation>The canvas holds no pictures, so there is nothing to output.</translation>
    </message>
    <message>
        <source>按所选的分页方式需要超过%1张纸, 请在“分页打印”中减小打印比例。</source>
        <translation>The chosen tiling needs more than %1 sheets; please choose a smaller scale in &quot;Tiled Printing&quot;.</translation>
    </message>
    <message>
        <source>纸张太小, 无法按所选的方式分页打印, 请在“分页打印”中另选。</source>
        <translation>The paper is too small for the chosen tiling; please choose another in &quot;Tiled Printing&quot;.</translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation>Print Preview</translation>
    </message>
    <message>
        <source>分页打印</source>
        <translation>Tiled Printing</translation>
    </message>
    <message>
        <source>打印输出图片.pdf</source>
        <translation>print output.pdf</translation>
    </message>
    <message>
        <source>拼接图片.pdf</source>
        <translation>joined picture.pdf</translation>
    </message>
    <message>
        <source>输出PDF</source>
        <translation>Export PDF</translation>
    </message>
    <message>
        <source>PDF文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>无法写入PDF文件 %1, 请检查文件夹是否存在、是否可写, 以及磁盘空间是否足够。</source>
        <translation>Cannot write the PDF file %1. Please check that the folder exists and is writable, and that the disk has enough free space.</translation>
    </message>
</context>
<context>
    <name>QtMusicPlayer</name>
    <message>
        <source>不支持这种音乐文件的格式</source>
        <translation>this music file format is not supported</translation>
    </message>
    <message>
        <source>没有读取这个文件的权限</source>
        <translation>no permission to read this file</translation>
    </message>
    <message>
        <source>文件无法读取, 或不是能播放的音乐文件</source>
        <translation>the file cannot be read, or it is not a playable music file</translation>
    </message>
    <message>
        <source>播放时出错</source>
        <translation>an error occurred while playing</translation>
    </message>
    <message>
        <source>没有可用的声音输出设备</source>
        <translation>no sound output device is available</translation>
    </message>
    <message>
        <source>不能播放背景音乐 %1: %2</source>
        <translation>Cannot play the background music %1: %2.</translation>
    </message>
</context>
<context>
    <name>RulerTableModel</name>
    <message>
        <source>*</source>
        <translation>*</translation>
    </message>
    <message>
        <source>间距</source>
        <translation>Spacing</translation>
    </message>
    <message>
        <source>标</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>ScreenBitmap</name>
    <message>
        <source>屏幕图太大或是空的，无法写入 %1</source>
        <translation>The screen picture is too large or empty, so %1 cannot be written.</translation>
    </message>
    <message>
        <source>无法写入屏幕图 %1: %2</source>
        <translation>Cannot write the screen picture %1: %2.</translation>
    </message>
</context>
<context>
    <name>ScreenGrabberPortal</name>
    <message>
        <source>桌面没有给出屏幕图</source>
        <translation>The desktop gave no screen picture.</translation>
    </message>
    <message>
        <source>无法读取桌面给出的屏幕图 %1</source>
        <translation>Cannot read the screen picture %1 the desktop gave.</translation>
    </message>
    <message>
        <source>这个桌面不提供截取屏幕的服务</source>
        <translation>This desktop offers no screen capture service.</translation>
    </message>
</context>
<context>
    <name>ScreenGrabberQt</name>
    <message>
        <source>无法截取屏幕图</source>
        <translation>The screen cannot be captured.</translation>
    </message>
</context>
<context>
    <name>ScreenGrabberX11</name>
    <message>
        <source>无法截取屏幕图</source>
        <translation>The screen cannot be captured.</translation>
    </message>
</context>
<context>
    <name>SettingsBlock</name>
    <message>
        <source>未知的设置项 %1</source>
        <translation>Unknown setting %1</translation>
    </message>
    <message>
        <source>设置内容过长(%1 字节, 最多 %2 字节): %3</source>
        <translation>Setting too long (%1 bytes, at most %2 bytes): %3</translation>
    </message>
    <message>
        <source>设置内容含有空字符: %1</source>
        <translation>Setting contains a null character: %1</translation>
    </message>
</context>
<context>
    <name>StartOptions</name>
    <message>
        <source>Lumo图片拼接及打印软件</source>
        <translation>Lumo Picture Joining and Printing</translation>
    </message>
    <message>
        <source>设置文件和临时文件夹放在 &lt;文件夹&gt; 中（没有时自动建立）。</source>
        <translation>Keep the settings file and the temporary folder in &lt;folder&gt; (made when missing).</translation>
    </message>
    <message>
        <source>文件夹</source>
        <translation>folder</translation>
    </message>
    <message>
        <source>设置文件和临时文件夹放在本用户的程序数据文件夹中。</source>
        <translation>Keep the settings file and the temporary folder in this user&apos;s program data folder.</translation>
    </message>
    <message>
        <source>多余的参数: %1</source>
        <translation>Unexpected arguments: %1</translation>
    </message>
    <message>
        <source>--data-dir 和 --user-data 只能选一个</source>
        <translation>Choose only one of --data-dir and --user-data.</translation>
    </message>
    <message>
        <source>--data-dir 缺少文件夹</source>
        <translation>--data-dir needs a folder.</translation>
    </message>
    <message>
        <source>无法建立或进入数据文件夹 %1</source>
        <translation>Cannot make or enter the data folder %1.</translation>
    </message>
</context>
<context>
    <name>UserPrompts</name>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>WriteFailure</name>
    <message>
        <source>磁盘空间不足, 无法写入 %1</source>
        <translation>The disk is full; %1 cannot be written</translation>
    </message>
</context>
</TS>
